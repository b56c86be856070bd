#pragma once
// A radio group with a caption, items in order, one of them chosen.
#include <QList>
#include <QWidget>

class QRadioButton;

class RadioGroup : public QWidget
{
    Q_OBJECT

public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);
    int itemIndex() const;
    // An index outside the items chooses none.
    void setItemIndex(int index);
    QRadioButton *item(int index) const;
    int count() const { return int(m_items.size()); }

signals:
    // The user chose an item (not emitted by setItemIndex).
    void clicked(int index);

private:
    QList<QRadioButton *> m_items;
};
