#pragma once
// The small borderless window that shows the progress of a mask being loaded ("Vorlan Mask Loader ......."),
// shaped like a rounded plate. It cannot be dragged; closed, it flies off in one of four directions.
#include <QWidget>

class QLabel;
class QProgressBar;
class TFormShaper;

class MaskLoaderWindow : public QWidget
{
    Q_OBJECT

public:
    static const QString Caption; // "Vorlan Mask Loader ......."

    explicit MaskLoaderWindow(QWidget *parent = nullptr);

    QProgressBar *ProgressBar() const { return m_bar; }
    TFormShaper *shaper() const { return m_shaper; }
    // One step of 10 on the 0..100 bar.
    void step();
    // Shows the window in the middle of the screen and lets it paint.
    void start();
    // Flies off, hides, goes back to its place, and resets the bar.
    void finish();
    // Milliseconds between the moves of a fly-off (0: no animation, for tests).
    void setFlyOffDelay(int ms) { m_flyDelay = ms; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QProgressBar *m_bar;
    TFormShaper *m_shaper;
    int m_flyDelay = 4;
};
