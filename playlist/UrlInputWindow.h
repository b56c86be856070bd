#pragma once
// A small borderless prompt for one line of text, centred on the screen: the playlist asks it for a stream
// URL, the equalizer for a preset name. Dragging its background moves it.
#include <QColor>
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QValidator;
class FlatButton;
class TFountainFill;

class UrlInputWindow : public QDialog
{
    Q_OBJECT

public:
    explicit UrlInputWindow(QWidget *parent = nullptr);

    // Sets the label and the starting text; the edit field gets the validator (owned by the caller, may be
    // null), the input mask (empty for none) and the length limit. Every call resets what an earlier caller
    // set, so the prompts of different windows do not leak into each other.
    void prepare(const QString &label, const QString &text, const QValidator *validator = nullptr,
                 int maxLength = 32767, const QString &inputMask = QString());
    // prepare(), then modal; the text unless the window was cancelled.
    std::optional<QString> ask(const QString &label, const QString &text,
                               const QValidator *validator = nullptr, int maxLength = 32767,
                               const QString &inputMask = QString());

    QString labelText() const;
    QString text() const;

    // The frame strips start (top, left) or end (bottom, right) at color1; the label is drawn in color2.
    void applyColors(const QColor &color1, const QColor &color2);

    // Controls, named as the form has them.
    TFountainFill *FountainFill1;
    TFountainFill *TopStrip;
    TFountainFill *LeftStrip;
    TFountainFill *BottomStrip;
    TFountainFill *RightStrip;
    QLabel *Label1;
    QLineEdit *Edit1;
    FlatButton *OKBtn;
    FlatButton *CancelBtn;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};
