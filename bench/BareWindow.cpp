// The floor of the player's start-up and memory: a Qt Widgets program that shows one window and waits.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(300, 120);
    window.show();
    return app.exec();
}
