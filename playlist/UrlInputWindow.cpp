#include "playlist/UrlInputWindow.h"

#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"
#include "widgets/WindowDragger.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace
{
constexpr int Strip = 3;
const QColor DesignedStripEnd(0, 0, 48);
} // namespace

UrlInputWindow::UrlInputWindow(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Please enter the song URL:"));
    setModal(true);
    resize(320, 96);

    FountainFill1 = new TFountainFill(this);
    FountainFill1->setStyle(TFountainFill::fsVertical);
    FountainFill1->setColors(QColor(0, 0, 112), QColor(0, 0, 40));
    auto *dragger = new WindowDragger(this);
    dragger->attach(FountainFill1);

    TopStrip = new TFountainFill(this);
    LeftStrip = new TFountainFill(this);
    LeftStrip->setStyle(TFountainFill::fsVertical);
    BottomStrip = new TFountainFill(this);
    RightStrip = new TFountainFill(this);
    RightStrip->setStyle(TFountainFill::fsVertical);

    Label1 = new QLabel(QStringLiteral("Please enter the song URL:"), FountainFill1);
    Edit1 = new QLineEdit(FountainFill1);
    OKBtn = new FlatButton(QStringLiteral("OK"), FountainFill1);
    CancelBtn = new FlatButton(QStringLiteral("Cancel"), FountainFill1);
    connect(OKBtn, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(Edit1, &QLineEdit::returnPressed, this, &QDialog::accept);

    applyColors(QColor(0, 128, 192), Qt::white);
}

void UrlInputWindow::applyColors(const QColor &color1, const QColor &color2)
{
    TopStrip->setColors(color1, DesignedStripEnd);
    LeftStrip->setColors(color1, DesignedStripEnd);
    BottomStrip->setColors(DesignedStripEnd, color1);
    RightStrip->setColors(DesignedStripEnd, color1);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, color2);
    Label1->setPalette(p);
    OKBtn->setTextColor(color2);
    CancelBtn->setTextColor(color2);
}

void UrlInputWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    FountainFill1->setGeometry(0, 0, w, h);
    TopStrip->setGeometry(0, 0, w, Strip);
    BottomStrip->setGeometry(0, h - Strip, w, Strip);
    LeftStrip->setGeometry(0, 0, Strip, h);
    RightStrip->setGeometry(w - Strip, 0, Strip, h);
    const int m = Strip + 9;
    Label1->setGeometry(m, m, w - 2 * m, 18);
    Edit1->setGeometry(m, m + 22, w - 2 * m, 22);
    const QSize button(64, 22);
    CancelBtn->setGeometry(w - m - button.width(), h - m - button.height() + 4, button.width(),
                           button.height());
    OKBtn->setGeometry(CancelBtn->x() - 8 - button.width(), CancelBtn->y(), button.width(), button.height());
}

void UrlInputWindow::showEvent(QShowEvent *event)
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
    Edit1->setFocus();
}

void UrlInputWindow::prepare(const QString &label, const QString &text, const QValidator *validator,
                             int maxLength, const QString &inputMask)
{
    // The window is named by its question: the same window also asks for names that are no URLs.
    Label1->setText(label);
    setWindowTitle(label);
    Edit1->setValidator(validator);
    Edit1->setInputMask(inputMask);
    Edit1->setMaxLength(maxLength);
    Edit1->setText(text);
    Edit1->selectAll();
}

std::optional<QString> UrlInputWindow::ask(const QString &label, const QString &text,
                                           const QValidator *validator, int maxLength,
                                           const QString &inputMask)
{
    prepare(label, text, validator, maxLength, inputMask);
    const int result = exec();
    if (result == QDialog::Rejected)
        return std::nullopt;
    return Edit1->text();
}

QString UrlInputWindow::labelText() const
{
    return Label1->text();
}

QString UrlInputWindow::text() const
{
    return Edit1->text();
}
