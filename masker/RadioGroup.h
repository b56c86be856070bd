#pragma once
// A framed group of exclusive choices with an item index, as the wizard's choice lists keep them.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);

    int itemIndex() const;
    // An index outside the items checks none.
    void setItemIndex(int index);
    int count() const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup *m_group;
};
