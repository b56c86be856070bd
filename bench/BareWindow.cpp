// The floor of the player's start-up and memory: a Qt Widgets program that shows one window and waits.
//
// With --meters it is the floor of the player's CPU while playing: the same window with two small level
// meters that a coarse timer moves ten times a second, as the player's meters move, and nothing else. It
// repaints the way the player does (over the X connection, not through shared memory).
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstring>

namespace
{
class Meter : public QWidget
{
public:
    explicit Meter(QWidget *parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

    void setLevel(int level)
    {
        if (level == m_level)
            return;
        m_level = level;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.fillRect(0, height() - m_level, width(), m_level, Qt::green);
    }

private:
    int m_level = 0;
};
} // namespace

int main(int argc, char **argv)
{
    const bool meters = argc > 1 && std::strcmp(argv[1], "--meters") == 0;
    if (meters)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(300, 120);

    std::array<Meter *, 2> bars{};
    QTimer beat;
    unsigned step = 0;
    if (meters) {
        for (int i = 0; i < 2; ++i) {
            bars[i] = new Meter(&window);
            bars[i]->setGeometry(100 + 11 * i, 40, 8, 44);
        }
        beat.setTimerType(Qt::CoarseTimer);
        QObject::connect(&beat, &QTimer::timeout, [&] {
            // Levels that change on every beat, as music's do.
            ++step;
            bars[0]->setLevel(int(step * 7 % 44));
            bars[1]->setLevel(int(step * 13 % 44));
        });
        beat.start(100);
    }
    window.show();
    return app.exec();
}
