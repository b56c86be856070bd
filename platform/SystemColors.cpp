#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace SystemColors
{

QColor systemColor(int index)
{
    const QPalette pal = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                             ? QGuiApplication::palette()
                             : QPalette();
    using P = QPalette;
    switch (index) {
    case ScrollBar:
        return pal.color(P::Active, P::Button);
    case Background:
        return pal.color(P::Active, P::Dark);
    case ActiveCaption:
        return pal.color(P::Active, P::Highlight);
    case InactiveCaption:
        return pal.color(P::Inactive, P::Highlight);
    case Menu:
        return pal.color(P::Active, P::Window);
    case Window:
        return pal.color(P::Active, P::Base);
    case WindowFrame:
        return pal.color(P::Active, P::Shadow);
    case MenuText:
        return pal.color(P::Active, P::WindowText);
    case WindowText:
        return pal.color(P::Active, P::Text);
    case CaptionText:
        return pal.color(P::Active, P::HighlightedText);
    case ActiveBorder:
        return pal.color(P::Active, P::Button);
    case InactiveBorder:
        return pal.color(P::Inactive, P::Button);
    case AppWorkspace:
        return pal.color(P::Active, P::Dark);
    case Highlight:
        return pal.color(P::Active, P::Highlight);
    case HighlightText:
        return pal.color(P::Active, P::HighlightedText);
    case ButtonFace:
        return pal.color(P::Active, P::Button);
    case ButtonShadow:
        return pal.color(P::Active, P::Dark);
    case GrayText:
        return pal.color(P::Disabled, P::Text);
    case ButtonText:
        return pal.color(P::Active, P::ButtonText);
    case InactiveCaptionText:
        return pal.color(P::Inactive, P::HighlightedText);
    case ButtonHighlight:
        return pal.color(P::Active, P::Light);
    case DarkShadow3D:
        return pal.color(P::Active, P::Shadow);
    case Light3D:
        return pal.color(P::Active, P::Midlight);
    case InfoText:
        return pal.color(P::Active, P::ToolTipText);
    case InfoBackground:
        return pal.color(P::Active, P::ToolTipBase);
    case HotLight:
        return pal.color(P::Active, P::Link);
    case GradientActiveCaption:
        return pal.color(P::Active, P::Highlight);
    case GradientInactiveCaption:
        return pal.color(P::Inactive, P::Highlight);
    case MenuHighlight:
        return pal.color(P::Active, P::Highlight);
    case MenuBar:
        return pal.color(P::Active, P::Window);
    default:
        return QColor(0, 0, 0);
    }
}

QColor fromValue(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    if (bits & 0x80000000u)
        return systemColor(static_cast<int>(bits & 0xFFu));
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

int32_t toValue(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QString htmlHex(const QColor &color)
{
    return QStringLiteral("%1%2%3")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace SystemColors
