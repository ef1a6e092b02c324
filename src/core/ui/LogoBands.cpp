#include "core/ui/LogoBands.h"

#include <cmath>
#include <limits>

namespace vbu {

quint32 LogoBands::Band::rgb() const
{
    const qint32 value = qint32(color.red) + 256 * qint32(color.green) + 65536 * qint32(color.blue);
    return quint32(value);
}

int LogoBands::pixels(double twips)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even.
    const double whole = std::nearbyint(twips);
    if (!(std::fabs(whole) < double(std::numeric_limits<int>::max())))
        return 0;
    return int(whole) / Twips::perPixel;
}

std::optional<qint16> LogoBands::component(double value)
{
    const double whole = std::nearbyint(value);
    if (!(whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return qint16(whole);
}

LogoBands LogoBands::compute(double widthTwips, double heightTwips, const Rgb16 &start, const Rgb16 &end)
{
    LogoBands result;
    result.width = pixels(widthTwips);
    result.height = pixels(heightTwips);
    const int h = result.height;
    const int s = h / 255 == 0 ? 1 : h / 255;
    result.step = s;

    // Differences in 16 bits, then held as doubles.
    const double dR = qint16(end.red - start.red);
    const double dG = qint16(end.green - start.green);
    const double dB = qint16(end.blue - start.blue);

    Rgb16 current = start;
    int bottom = h;
    if (h >= 0)
        result.bands.reserve(h / s + 1);
    for (int y = h; y >= 0; y -= s) {
        const int top = bottom - s;
        result.bands.append(Band{top, bottom, current});
        bottom = top;
        if (h == 0) {
            // 0 / 0: the strip has no height to spread the colours over.
            result.complete = false;
            return result;
        }
        const auto part = double(h - y);
        const auto r = component(part * dR / h + start.red);
        const auto g = component(part * dG / h + start.green);
        const auto b = component(part * dB / h + start.blue);
        if (!r || !g || !b) {
            result.complete = false;
            return result;
        }
        current = Rgb16{*r, *g, *b};
    }
    return result;
}

} // namespace vbu
