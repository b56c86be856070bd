#include "masks/RegionFile.h"

#include "platform/TextFile.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace
{

// Every integer in a value, in order; anything else separates them. Stops after `limit` numbers.
QList<int> numbersIn(const QByteArray &value, int limit, bool *cut)
{
    QList<int> numbers;
    qint64 current = 0;
    bool inNumber = false, negative = false;
    const auto flush = [&] {
        if (inNumber && numbers.size() < limit)
            numbers.append(int(negative ? -current : current));
        else if (inNumber)
            *cut = true;
        inNumber = negative = false;
        current = 0;
    };
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c >= '0' && c <= '9') {
            inNumber = true;
            current = std::min<qint64>(current * 10 + (c - '0'), 1'000'000'000);
        } else {
            flush();
            negative = c == '-' && i + 1 < value.size() && value[i + 1] >= '0' && value[i + 1] <= '9';
        }
    }
    flush();
    return numbers;
}

} // namespace

QList<QPolygon> RegionFile::parse(const QByteArray &text, const QString &section, QString *problem)
{
    QString why;
    QByteArray counts, points;
    bool haveCounts = false, havePoints = false;
    bool inSection = false, sawSection = false;
    const QByteArray wanted = section.toLatin1().trimmed().toLower();
    for (const QByteArray &raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            const QByteArray name = line.mid(1, end < 0 ? -1 : end - 1).trimmed().toLower();
            inSection = name == wanted;
            sawSection = sawSection || inSection;
            continue;
        }
        if (!inSection || line.startsWith(';'))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.first(eq).trimmed().toLower();
        // The first of a doubled key holds, as profile files read.
        if (key == "numpoints" && !haveCounts) {
            counts = line.mid(eq + 1);
            haveCounts = true;
        } else if (key == "pointlist" && !havePoints) {
            points = line.mid(eq + 1);
            havePoints = true;
        }
    }
    if (!sawSection)
        why = QStringLiteral("it has no [%1] section").arg(section);

    bool cut = false;
    const QList<int> sizes = numbersIn(counts, MaxPolygons, &cut);
    const QList<int> coordinates = numbersIn(points, 2 * MaxPoints, &cut);
    if (cut)
        why = QStringLiteral("it lists more polygons or points than a window outline has");

    QList<QPolygon> polygons;
    qsizetype next = 0;
    for (int size : sizes) {
        if (size <= 0)
            continue;
        if (next + 2 * qsizetype(size) > coordinates.size()) {
            why = QStringLiteral("it counts more points than it lists");
            break;
        }
        QPolygon polygon;
        polygon.reserve(size);
        for (int p = 0; p < size; ++p, next += 2)
            polygon.append(QPoint(std::clamp(coordinates[next], 0, MaxCoordinate),
                                  std::clamp(coordinates[next + 1], 0, MaxCoordinate)));
        if (polygon.size() >= 3)
            polygons.append(polygon);
        else if (why.isEmpty())
            why = QStringLiteral("a polygon has fewer than three points");
    }
    if (polygons.isEmpty() && why.isEmpty())
        why = QStringLiteral("it holds no polygon");
    if (problem)
        *problem = why;
    return polygons;
}

QList<QPolygon> RegionFile::read(const QString &path, const QString &section, QString *problem)
{
    QByteArray bytes;
    if (path.isEmpty() || TextFile::readBytes(path, MaxBytes, &bytes) != TextFile::ReadStatus::Ok) {
        if (problem)
            *problem = QStringLiteral("it cannot be read");
        return {};
    }
    return parse(bytes, section, problem);
}

QByteArray RegionFile::text(const QList<QPolygon> &polygons, const QString &section)
{
    QByteArray counts, points;
    for (const QPolygon &polygon : polygons) {
        if (!counts.isEmpty())
            counts += ", ";
        counts += QByteArray::number(polygon.size());
        for (const QPoint &point : polygon) {
            if (!points.isEmpty())
                points += ", ";
            points += QByteArray::number(point.x()) + ',' + QByteArray::number(point.y());
        }
    }
    return '[' + section.toLatin1() + "]\r\nNumPoints=" + counts + "\r\nPointList=" + points + "\r\n";
}

QRegion RegionFile::region(const QList<QPolygon> &polygons, const QRect &bounds)
{
    // Filled into a picture of the window's size, not as regions of their own: a region of a polygon keeps
    // every edge of every row it spans, and polygons far larger than the window would cost gigabytes. A
    // pixel belongs to the window when its centre lies inside, which is the corners rule points follow.
    if (bounds.isEmpty() || polygons.isEmpty())
        return QRegion();
    QImage inside(bounds.size(), QImage::Format_Grayscale8);
    inside.fill(0);
    {
        QPainter painter(&inside);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        // Moved by hand: the painter's own translation rounds the edges of an aliased fill differently.
        for (const QPolygon &polygon : polygons)
            painter.drawPolygon(polygon.translated(-bounds.topLeft()), Qt::OddEvenFill);
    }
    // Rows of the same runs as the row above lengthen its rectangles, so a plain window is a few rectangles.
    QList<QRect> runs;
    QList<QPair<int, int>> previous, current;
    qsizetype previousFirst = 0;
    for (int y = 0; y < inside.height(); ++y) {
        current.clear();
        const uchar *row = inside.constScanLine(y);
        for (int x = 0; x < inside.width();) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < inside.width() && row[x])
                ++x;
            current.append({start, x - start});
        }
        if (!current.isEmpty() && current == previous) {
            for (qsizetype i = 0; i < current.size(); ++i)
                runs[previousFirst + i].setHeight(runs[previousFirst + i].height() + 1);
            continue;
        }
        previousFirst = runs.size();
        for (const auto &[start, width] : current)
            runs.append(QRect(bounds.left() + start, bounds.top() + y, width, 1));
        previous = current;
    }
    QRegion area;
    area.setRects(runs.constData(), int(runs.size()));
    return area;
}
