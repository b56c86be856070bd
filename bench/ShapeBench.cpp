// Building a window outline from a 400 x 300 background with a ragged edge: our row scan against Qt's own
// way (a mask bitmap from the colour, turned into a region). Best of 20 runs each, in seconds.
#include "masks/TFormShaper.h"

#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace
{

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

// An ellipse whose edge wobbles, lime outside, with a few lime holes inside.
QImage raggedBackground()
{
    QImage image(400, 300, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double dx = (x - 200) / 195.0, dy = (y - 150) / 145.0;
            const double wobble = 0.06 * std::sin(x * 0.31) + 0.04 * std::cos(y * 0.23);
            const bool inside = dx * dx + dy * dy < 1.0 - wobble;
            const bool hole = inside && random.bounded(97) == 0;
            image.setPixel(x, y, inside && !hole ? qRgb(40 + x % 60, 50, 70 + y % 80) : qRgb(0, 255, 0));
        }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QImage image = raggedBackground();
    QRegion ours, peer;
    const double oursSeconds = bestOf(20, [&] { ours = TFormShaper::regionFromImage(image, 0x00FF00); });
    const double peerSeconds = bestOf(20, [&] {
        peer = QRegion(QBitmap::fromImage(image.createMaskFromColor(qRgb(0, 255, 0), Qt::MaskInColor)));
    });
    if (!ours.xored(peer).isEmpty())
        std::fprintf(stderr, "shape: the two outlines differ\n");
    std::printf("BENCH shape_region ours=%.6f peer=%.6f ratio=%.2f peer_name=qt-bitmap-region\n", oursSeconds,
                peerSeconds, oursSeconds / peerSeconds);
    return 0;
}
