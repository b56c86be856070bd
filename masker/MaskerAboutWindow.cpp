#include "masker/MaskerAboutWindow.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

MaskerAboutWindow::MaskerAboutWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About VorlanMasker"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(this);
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setText(QStringLiteral(
        "<h2>VorlanMasker 1.8</h2>"
        "<p>The mask editor of the Vorlan MPEG audio player.</p>"
        "<p>Follow the eight steps: load a background bitmap and pick its transparent colour, load a slider "
        "thumb, place the player's objects on the background, choose fonts and colours, the level meters, "
        "the "
        "button pictures and an animated GIF. Then save the mask beside its pictures and test it.</p>"
        "<p>In Vorlan, \"Change Mask\" loads it.</p>"));
    layout->addWidget(text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}
