#pragma once

#include <QRect>

// The windows are laid out in twips, 1/1440 inch: 15 to a pixel at 96 dots per inch.
namespace vbu::Twips {

inline constexpr int perPixel = 15;

constexpr int toPixels(int twips)
{
    return twips / perPixel;
}

constexpr QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace vbu::Twips
