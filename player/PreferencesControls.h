#pragma once
// How the preferences' pages make their check boxes and buttons: named for the tests and the screenshots,
// and no button but OK takes Return.
#include <QCheckBox>
#include <QPushButton>

namespace PreferencesControls
{

inline QCheckBox *checkBox(const char *name, const QString &caption, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

inline QPushButton *pushButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace PreferencesControls
