#pragma once
// The modal dialogs of the mask editor, behind functions a caller (and every test) can replace, so nothing
// ever waits on a dialog nobody answers.
#include <QColor>
#include <QString>
#include <functional>

class QWidget;

struct MaskerDialogs {
    // A file to open; empty when cancelled. `filter` is a Qt name filter ("Vorlan Masks (*.msk)").
    std::function<QString(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)>
        openFile;
    // A file to save into (the dialog asks before replacing one); empty when cancelled.
    std::function<QString(QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                          const QString &proposedName)>
        saveFile;
    // Yes (true) or No.
    std::function<bool(QWidget *parent, const QString &caption, const QString &text)> question;
    std::function<void(QWidget *parent, const QString &caption, const QString &text)> information;
    // Something went wrong; without one, information says it.
    std::function<void(QWidget *parent, const QString &caption, const QString &text)> warning;
    // A colour; invalid when cancelled.
    std::function<QColor(QWidget *parent, const QColor &initial)> chooseColor;

    // The desktop's own dialogs.
    static MaskerDialogs standard();
};
