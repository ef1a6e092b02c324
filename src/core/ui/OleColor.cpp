#include "core/ui/OleColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace vbu::OleColors {

namespace {

struct SystemEntry
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The classic system colour indices, each given the palette colour that plays its part.
std::optional<SystemEntry> systemEntry(int index)
{
    constexpr auto active = QPalette::Active;
    switch (index) {
    case 0: // scroll bar
        return SystemEntry{active, QPalette::Button};
    case 1: // desktop
        return SystemEntry{active, QPalette::Dark};
    case 2:  // active caption
    case 27: // gradient of the active caption
        return SystemEntry{active, QPalette::Highlight};
    case 3: // inactive caption
    case 28:
        return SystemEntry{QPalette::Inactive, QPalette::Mid};
    case 4: // menu
        return SystemEntry{active, QPalette::Window};
    case 5: // window background
        return SystemEntry{active, QPalette::Base};
    case 6: // window frame
        return SystemEntry{active, QPalette::Shadow};
    case 7: // menu text
        return SystemEntry{active, QPalette::WindowText};
    case 8: // window text
        return SystemEntry{active, QPalette::Text};
    case 9: // caption text
        return SystemEntry{active, QPalette::HighlightedText};
    case 10: // active border
    case 11: // inactive border
        return SystemEntry{active, QPalette::Button};
    case 12: // application workspace
        return SystemEntry{active, QPalette::Dark};
    case 13: // highlight
        return SystemEntry{active, QPalette::Highlight};
    case 14: // highlighted text
        return SystemEntry{active, QPalette::HighlightedText};
    case 15: // button face
        return SystemEntry{active, QPalette::Button};
    case 16: // button shadow
        return SystemEntry{active, QPalette::Dark};
    case 17: // grey text
        return SystemEntry{QPalette::Disabled, QPalette::Text};
    case 18: // button text
        return SystemEntry{active, QPalette::ButtonText};
    case 19: // inactive caption text
        return SystemEntry{QPalette::Inactive, QPalette::WindowText};
    case 20: // button highlight
        return SystemEntry{active, QPalette::Light};
    case 21: // dark 3D shadow
        return SystemEntry{active, QPalette::Shadow};
    case 22: // light 3D edge
        return SystemEntry{active, QPalette::Midlight};
    case 23: // tool tip text
        return SystemEntry{active, QPalette::ToolTipText};
    case 24: // tool tip background
        return SystemEntry{active, QPalette::ToolTipBase};
    case 26: // hot-tracked item
        return SystemEntry{active, QPalette::Link};
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QColor> systemColor(int index)
{
    const auto entry = systemEntry(index);
    if (!entry)
        return std::nullopt;
    const QPalette palette = qGuiApp ? QGuiApplication::palette() : QPalette();
    return palette.color(entry->group, entry->role);
}

std::optional<quint32> translate(OleColor color)
{
    switch (color >> 24) {
    case 0x00:
        return color;
    case 0x02: // palette-relative; without a palette the RGB part stands
        return color & 0x00FFFFFFu;
    case 0x80:
        // Only the low byte is the index; the middle bytes are not looked at.
        if (const auto c = systemColor(int(color & 0xFFu)))
            return fromQColor(*c);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

quint32 fromQColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}

QColor toQColor(quint32 rgb)
{
    return QColor(int(rgb & 0xFFu), int(rgb >> 8 & 0xFFu), int(rgb >> 16 & 0xFFu));
}

} // namespace vbu::OleColors
