#pragma once
// The about window: the program's name, version and purpose, and the hints and tips the first-run message
// points to.
#include <QWidget>

class QLabel;
class QPushButton;
class QTextBrowser;
class TFountainFill;

class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    static const QString ProgramName; // "Vorlan"
    static const QString Version;     // "1.8"

    explicit AboutWindow(QWidget *parent = nullptr);

    // The banner's gradient ("Color1", "Color2").
    void setColors(const QColor &color1, const QColor &color2);

    // The "Hints and Tips" text, as HTML.
    static QString hintsAndTips();

    QLabel *NameLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *DescriptionLabel = nullptr;
    QTextBrowser *TipsBox = nullptr;
    QPushButton *OkBtn = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TFountainFill *m_banner = nullptr;
};
