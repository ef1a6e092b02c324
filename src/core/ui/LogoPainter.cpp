#include "core/ui/LogoPainter.h"

#include "core/ui/LogoSurface.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vbu {

QString LogoPainter::LogFont::family() const
{
    // The face name field is read up to its terminator, at most 31 characters.
    const auto length = strnlen(faceName.data(), 31);
    return QString::fromLatin1(faceName.data(), qsizetype(length));
}

QFont LogoPainter::LogFont::toFont() const
{
    QFont font(family());
    // Negative: the character height in pixels; positive: the cell height, which for the faces
    // at hand is near enough the same; 0: the face's default size.
    if (height != 0)
        font.setPixelSize(std::abs(height));
    font.setWeight(weight == 0 ? QFont::Normal : QFont::Weight(qBound(1, weight, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

LogoPainter::LogoPainter()
{
    // Through the setters: the first finds its value already there and does nothing.
    setStartColor(0);
    setEndColor(OleColors::buttonFace);
}

LogoBands::Rgb16 LogoPainter::components(OleColor color)
{
    // A colour that cannot be translated comes out black.
    const quint32 rgb = OleColors::translate(color).value_or(0);
    return LogoBands::Rgb16{qint16(rgb & 0xFF), qint16(rgb >> 8 & 0xFF), qint16(rgb >> 16 & 0xFF)};
}

void LogoPainter::setStartColor(OleColor oColor)
{
    if (oColor == m_startColor)
        return;
    m_startColor = oColor;
    m_start = components(oColor);
    if (m_surface)
        draw();
}

void LogoPainter::setEndColor(OleColor oColor)
{
    if (oColor == m_endColor)
        return;
    m_endColor = oColor;
    m_end = components(oColor);
    if (m_surface)
        draw();
}

int LogoPainter::mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const qint64 product = qint64(a) * qint64(b);
    const bool negative = (product < 0) != (c < 0);
    const qint64 p = product < 0 ? -product : product;
    const qint64 d = c < 0 ? -qint64(c) : qint64(c);
    const qint64 q = (p + d / 2) / d;
    if (q > std::numeric_limits<int>::max())
        return -1;
    return negative ? -int(q) : int(q);
}

std::optional<LogoPainter::LogFont> LogoPainter::buildLogFont(const QFont &font, int pixelsPerInchY)
{
    LogFont lf;
    const QString name = font.family();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t code = name.at(i).unicode();
        if (i >= qsizetype(lf.faceName.size()) || code > 0xFF)
            return std::nullopt;
        lf.faceName[size_t(i)] = char(code);
    }
    // A face sized in pixels is turned into points first, as a size in points is what is asked for.
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0 && pixelsPerInchY > 0)
        points = font.pixelSize() * 72.0 / pixelsPerInchY;
    const double wholePoints = std::nearbyint(points);
    const int size = std::fabs(wholePoints) < 1e6 ? int(wholePoints) : 0;
    lf.height = -mulDiv(size, pixelsPerInchY, 72);
    lf.italic = font.italic();
    lf.weight = font.bold() ? 700 : 400;
    lf.underline = font.underline();
    lf.strikeOut = font.strikeOut();
    return lf;
}

void LogoPainter::draw()
{
    if (!m_surface)
        return;
    QPaintDevice *device = m_surface->drawingDevice();
    if (!device || device->paintingActive())
        return;

    const LogoBands plan = LogoBands::compute(m_surface->twipsWidth(), m_surface->twipsHeight(), m_start, m_end);
    QPainter painter(device);
    if (!painter.isActive())
        return;
    for (const LogoBands::Band &band : plan.bands) {
        if (band.bottom > band.top && plan.width > 0)
            painter.fillRect(QRect(0, band.top, plan.width, band.bottom - band.top), OleColors::toQColor(band.rgb()));
    }
    if (!plan.complete)
        return;

    const auto lf = buildLogFont(m_surface->drawingFont(), device->logicalDpiY());
    if (!lf)
        return;
    LogFont rotated = *lf;
    // Tenths of a degree: written upwards.
    rotated.escapement = 900;

    // The caption goes out as single-byte text; what has no byte becomes a question mark.
    const QString text = QString::fromLatin1(m_caption.toLatin1());
    if (!text.isEmpty()) {
        const QFont font = rotated.toFont();
        painter.setFont(font);
        painter.setPen(m_surface->foreColor());
        if (m_surface->fontTransparent()) {
            painter.setBackgroundMode(Qt::TransparentMode);
        } else {
            painter.setBackgroundMode(Qt::OpaqueMode);
            painter.setBackground(m_surface->backColor());
        }
        // The reference point is the top-left corner of the text cell; after the quarter turn
        // the cell's top lies along the left edge and the text runs up from y = H - 16.
        painter.translate(0, plan.height - 16);
        painter.rotate(-rotated.escapement / 10.0);
        const QFontMetrics metrics(font, device);
        painter.drawText(QPointF(0, metrics.ascent()), text);
    }
    painter.end();
    m_surface->refresh();
}

} // namespace vbu
