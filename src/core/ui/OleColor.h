#pragma once

#include <QColor>

#include <optional>

namespace vbu {

// A colour as forms and controls hand it over: 0x00BBGGRR for a plain colour, or a system
// colour when the high byte is 0x80, its index in the low byte.
using OleColor = quint32;

namespace OleColors {

inline constexpr OleColor buttonFace = 0x8000000F;

// The plain 0x00BBGGRR value of a colour, system colours looked up in the application's
// palette; nothing for a value that names no colour.
std::optional<quint32> translate(OleColor color);
// System colour index to palette colour; nothing for an index with no colour.
std::optional<QColor> systemColor(int index);

quint32 fromQColor(const QColor &color);
QColor toQColor(quint32 rgb);

} // namespace OleColors

} // namespace vbu
