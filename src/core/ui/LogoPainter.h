#pragma once

#include "core/ui/LogoBands.h"
#include "core/ui/OleColor.h"

#include <QString>

#include <array>
#include <optional>

class QFont;

namespace vbu {

class LogoSurface;

// The logo painter: paints a vertical strip onto a surface, a gradient of horizontal bands from the start
// colour at the bottom towards the end colour at the top, with the caption written upwards over
// it. It draws only when asked, or when a colour changes while a surface is set.
class LogoPainter final
{
    Q_DISABLE_COPY_MOVE(LogoPainter)

public:
    // The font description the caption is drawn with, filled from the surface's font.
    struct LogFont
    {
        // One position more than the 31 characters and terminator that are read of it.
        std::array<char, 33> faceName{};
        int height = 0;
        int escapement = 0;
        int weight = 0;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;

        QString family() const;
        QFont toFont() const;
    };

    LogoPainter();

    void setCaption(const QString &sCaption) { m_caption = sCaption; }
    QString caption() const { return m_caption; }
    // Not owned; it has to stay alive while it is set.
    void setDrawingObject(LogoSurface *picThis) { m_surface = picThis; }
    LogoSurface *drawingObject() const { return m_surface; }

    OleColor startColor() const { return m_startColor; }
    void setStartColor(OleColor oColor);
    OleColor endColor() const { return m_endColor; }
    void setEndColor(OleColor oColor);
    LogoBands::Rgb16 startComponents() const { return m_start; }
    LogoBands::Rgb16 endComponents() const { return m_end; }

    // Paints the strip and refreshes the surface. Stops quietly at the first thing that goes
    // wrong, leaving what was painted so far and no refresh.
    void draw();

    // Nothing for a face name that does not fit the description or is not single-byte text.
    static std::optional<LogFont> buildLogFont(const QFont &font, int pixelsPerInchY);
    // a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
    static int mulDiv(int a, int b, int c);

private:
    static LogoBands::Rgb16 components(OleColor color);

    LogoSurface *m_surface = nullptr;
    QString m_caption;
    LogoBands::Rgb16 m_start;
    OleColor m_startColor = 0;
    LogoBands::Rgb16 m_end;
    OleColor m_endColor = 0;
};

} // namespace vbu
