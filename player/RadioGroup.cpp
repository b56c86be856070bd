#include "player/RadioGroup.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *box = new QGroupBox(caption, this);
    outer->addWidget(box);
    auto *column = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items[i], box);
        column->addWidget(radio);
        m_items << radio;
        connect(radio, &QRadioButton::clicked, this, [this, i] { emit clicked(i); });
    }
    column->addStretch();
}

int RadioGroup::itemIndex() const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked())
            return i;
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    for (int i = 0; i < m_items.size(); ++i) {
        // Radio buttons of one box exclude each other; unchecking all needs the exclusion off for a moment.
        m_items[i]->setAutoExclusive(false);
        m_items[i]->setChecked(i == index);
        m_items[i]->setAutoExclusive(true);
    }
}

QRadioButton *RadioGroup::item(int index) const
{
    return m_items.value(index);
}
