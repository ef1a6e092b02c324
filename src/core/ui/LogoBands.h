#pragma once

#include "core/app/Twips.h"

#include <QList>
#include <QtGlobal>

#include <optional>

namespace vbu {

// The geometry and colours of the logo strip's gradient, worked out without drawing.
// Bands run from the bottom edge upwards; each one is the colour worked out in the pass
// before it, so the two lowest bands share the start colour and the end colour itself
// is never reached.
class LogoBands final
{
public:
    // Colour components as the strip keeps them: 16-bit signed.
    struct Rgb16
    {
        qint16 red = 0;
        qint16 green = 0;
        qint16 blue = 0;
        friend bool operator==(const Rgb16 &, const Rgb16 &) = default;
    };

    // Rows top to bottom - 1 (top may be negative), every column from 0 to width - 1.
    struct Band
    {
        int top = 0;
        int bottom = 0;
        Rgb16 color;
        // red + 256 green + 65536 blue, as the brush takes it.
        quint32 rgb() const;
    };

    // Sizes in twips; the strip's pixel sizes come from them as the drawing does it.
    static LogoBands compute(double widthTwips, double heightTwips, const Rgb16 &start, const Rgb16 &end);
    // Twips rounded to a whole number (halves to even), divided by the twips of a pixel.
    static int pixels(double twips);
    // Half-to-even rounding of a component into 16 bits; nothing when it does not fit.
    static std::optional<qint16> component(double value);

    int width = 0;
    int height = 0;
    int step = 1;
    QList<Band> bands;
    // False when the arithmetic failed part way (a strip less than a pixel high): the bands
    // listed so far are painted and nothing else is.
    bool complete = true;
};

} // namespace vbu
