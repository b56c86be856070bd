#include "engine/EqualizerFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

const QString EqualizerSettings::FileName = QStringLiteral("Equalizer.cfg");
const QString EqualizerSettings::PresetDir = QStringLiteral("Equalizer");

namespace
{

int clampValue(int v)
{
    return std::clamp(v, EqualizerSettings::MinValue, EqualizerSettings::MaxValue);
}

// Signed decimal; numbers past the integer range still say which end they lie at.
bool readValue(const QString &text, int *value)
{
    const QString t = text.trimmed();
    qsizetype digits = t.startsWith(u'-') || t.startsWith(u'+') ? 1 : 0;
    if (digits == t.size())
        return false;
    for (qsizetype i = digits; i < t.size(); ++i)
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok) {
        *value = t.startsWith(u'-') ? EqualizerSettings::MinValue : EqualizerSettings::MaxValue;
        return true;
    }
    *value = int(std::clamp<qlonglong>(v, EqualizerSettings::MinValue, EqualizerSettings::MaxValue));
    return true;
}

} // namespace

XA_EqualizerInfo EqualizerSettings::toEqualizerInfo() const
{
    XA_EqualizerInfo info{};
    for (int s = 0; s < SliderCount; ++s) {
        for (int band = FirstBand[s]; band < FirstBand[s + 1]; ++band) {
            info.left[band] = int8_t(clampValue(left[s]));
            info.right[band] = int8_t(clampValue(right[s]));
        }
    }
    return info;
}

int EqualizerSettings::sliderForBand(int band)
{
    for (int s = 0; s < SliderCount; ++s)
        if (band < FirstBand[s + 1])
            return band < 0 ? 0 : s;
    return SliderCount - 1;
}

bool EqualizerSettings::load(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    bool ok = false;
    const QStringList lines = TextFile::readLines(path, &ok);
    if (!ok)
        return false;
    for (int i = 0; i < 2 * SliderCount && i < lines.size(); ++i) {
        int value = 0;
        if (!readValue(lines[i], &value))
            continue;
        (i < SliderCount ? left[i] : right[i - SliderCount]) = value;
    }
    return true;
}

bool EqualizerSettings::save(const QString &path) const
{
    QStringList lines;
    for (int v : left)
        lines << QString::number(clampValue(v));
    for (int v : right)
        lines << QString::number(clampValue(v));
    return TextFile::writeLines(path, lines);
}
