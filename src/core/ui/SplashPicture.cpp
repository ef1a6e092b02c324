#include "core/ui/SplashPicture.h"

#include "core/app/AppInfo.h"
#include "core/ui/ProgramIcon.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vbu::SplashPicture {

namespace {

// Value noise from a fixed hash: the same grime on every run.
double lattice(int x, int y, quint32 seed)
{
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFF) / 65535.0;
}

double smoothNoise(double x, double y, quint32 seed)
{
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx);
    const double sy = fy * fy * (3 - 2 * fy);
    const double top = lattice(x0, y0, seed) * (1 - sx) + lattice(x0 + 1, y0, seed) * sx;
    const double bottom = lattice(x0, y0 + 1, seed) * (1 - sx) + lattice(x0 + 1, y0 + 1, seed) * sx;
    return top * (1 - sy) + bottom * sy;
}

// Rusty, stained plate: dark metal, darker towards the edges, blotched with rust, finely pitted.
void plate(QImage &image)
{
    const int w = image.width();
    const int h = image.height();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double fbm = 0;
            double amplitude = 0.5;
            double scale = 64;
            for (quint32 octave = 1; octave <= 4; ++octave) {
                fbm += amplitude * smoothNoise(x / scale, y / scale, octave);
                amplitude /= 2;
                scale /= 2;
            }
            const double grain = lattice(x, y, 9) - 0.5;
            const double rust = qBound(0.0, (smoothNoise(x / 26.0, y / 26.0, 7) - 0.45) * 2.5, 1.0);
            const double pit = lattice(x / 2, y / 2, 11) > 0.985 ? 0.55 : 1.0;
            const double dx = (x - w / 2.0) / (w / 2.0);
            const double dy = (y - h / 2.0) / (h / 2.0);
            const double vignette = 1.0 - 0.5 * (dx * dx * 0.5 + dy * dy * 0.9);
            const double light = (0.45 + 0.75 * fbm + 0.12 * grain) * vignette * pit;
            const double r = (58 + 34 * rust) * light;
            const double g = (50 + 6 * rust) * light;
            const double b = (42 - 14 * rust) * light;
            line[x] = qRgb(qBound(0, int(r), 255), qBound(0, int(g), 255), qBound(0, int(b), 255));
        }
    }
}

void bevel(QPainter &p, const QRect &r, int depth, const QColor &light, const QColor &dark)
{
    for (int i = 0; i < depth; ++i) {
        const QRect e = r.adjusted(i, i, -i, -i);
        p.setPen(light);
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
        p.setPen(dark);
        p.drawLine(e.bottomLeft(), e.bottomRight());
        p.drawLine(e.topRight(), e.bottomRight());
    }
}

void rivet(QPainter &p, const QPointF &at)
{
    QRadialGradient g(at + QPointF(-1.2, -1.2), 4.5);
    g.setColorAt(0, QColor(230, 196, 150));
    g.setColorAt(0.45, QColor(132, 96, 60));
    g.setColorAt(1, QColor(36, 22, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawEllipse(at + QPointF(1, 1.2), 4, 4);
    p.setBrush(g);
    p.drawEllipse(at, 3.6, 3.6);
}

// The largest pixel size up to `largest` at which the text fits the width.
QFont fitted(QFont font, const QString &text, int largest, qreal width)
{
    for (int px = largest; px > 8; --px) {
        font.setPixelSize(px);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            break;
    }
    return font;
}

void title(QPainter &p, const QString &text, const QFont &font, qreal centreX, qreal baseline)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centreX - path.boundingRect().center().x(), baseline);
    const QRectF box = path.boundingRect();

    // Shadow cast on the plate.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawPath(path.translated(3, 3));

    // Hot metal: pale at the top, glowing orange, dark rust at the foot.
    QLinearGradient fill(0, box.top(), 0, box.bottom());
    fill.setColorAt(0, QColor(255, 236, 170));
    fill.setColorAt(0.45, QColor(244, 150, 44));
    fill.setColorAt(1, QColor(128, 44, 8));
    p.setPen(QPen(QColor(28, 12, 2), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);

    // A thin highlight along the upper edges.
    p.setPen(QPen(QColor(255, 246, 210, 110), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path.translated(-0.6, -0.6));
}

void engravedText(QPainter &p, const QRectF &r, int flags, const QFont &font, const QString &text, const QColor &color)
{
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 170));
    p.drawText(r.translated(1, 1), flags, text);
    p.setPen(color);
    p.drawText(r, flags, text);
}

// A strip of game console: the kind of line the program writes.
void console(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(12, 8, 4), 1));
    p.setBrush(QColor(10, 6, 2, 190));
    p.drawRect(r);
    p.setPen(QColor(120, 84, 50, 140));
    p.drawLine(r.bottomLeft() + QPointF(1, 1), r.bottomRight() + QPointF(1, 1));

    QFont mono;
    mono.setFamilies({u"DejaVu Sans Mono"_s, u"Noto Mono"_s, u"monospace"_s});
    mono.setStyleHint(QFont::Monospace);
    mono.setPixelSize(13);
    mono.setBold(true);
    p.setFont(mono);
    const QString prompt = u"] "_s;
    const QString line = u"bind mouse1 \"+attack\"; alias +zoom \"fov 30\""_s;
    const QFontMetricsF m(mono);
    const qreal baseline = r.center().y() + (m.ascent() - m.descent()) / 2;
    qreal x = r.left() + 8;
    p.setPen(QColor(200, 160, 90));
    p.drawText(QPointF(x, baseline), prompt);
    x += m.horizontalAdvance(prompt);
    p.setPen(QColor(236, 200, 120));
    p.drawText(QPointF(x, baseline), line);
    x += m.horizontalAdvance(line) + 2;
    // The cursor.
    p.fillRect(QRectF(x, baseline - m.ascent() + 2, m.horizontalAdvance(u'_'), m.ascent() - 1), QColor(236, 200, 120));
}

} // namespace

QImage render()
{
    QImage image(size, QImage::Format_RGB32);
    plate(image);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The window shows 515 columns of the picture; the frame is laid out for those.
    const QRect frame(0, 0, 515, size.height());
    p.fillRect(QRect(frame.right() + 1, 0, size.width() - frame.width(), size.height()), QColor(20, 12, 6));
    p.setRenderHint(QPainter::Antialiasing, false);
    bevel(p, frame, 3, QColor(168, 128, 88), QColor(16, 10, 4));
    bevel(p, frame.adjusted(9, 9, -9, -9), 2, QColor(18, 10, 4), QColor(150, 112, 76));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const QPointF at : {QPointF(6.5, 6.5), QPointF(frame.right() - 5.5, 6.5), QPointF(6.5, frame.bottom() - 5.5),
                             QPointF(frame.right() - 5.5, frame.bottom() - 5.5), QPointF(frame.center().x(), 6.5),
                             QPointF(frame.center().x(), frame.bottom() - 5.5)})
        rivet(p, at);

    const QRectF inner = QRectF(frame).adjusted(14, 14, -14, -14);

    // Emblem and title side by side, centred together.
    QFont titleFont;
    titleFont.setFamilies({u"URW Bookman"_s, u"C059"_s, u"DejaVu Serif"_s, u"serif"_s});
    titleFont.setWeight(QFont::Bold);
    const QString name = AppInfo::title();
    const int emblem = 64;
    const qreal gap = 14;
    titleFont = fitted(titleFont, name, 46, inner.width() - emblem - gap - 16);
    const qreal titleWidth = QFontMetricsF(titleFont).horizontalAdvance(name);
    const qreal left = inner.center().x() - (emblem + gap + titleWidth) / 2;
    const qreal emblemTop = inner.top() + 22;
    p.drawImage(QRectF(left, emblemTop, emblem, emblem), ProgramIcon::render(emblem));
    const qreal baseline = emblemTop + emblem / 2.0 + QFontMetricsF(titleFont).capHeight() / 2;
    title(p, name, titleFont, left + emblem + gap + titleWidth / 2, baseline);

    // Engraved rule under the title.
    const qreal ruleY = emblemTop + emblem + 12;
    p.setPen(QPen(QColor(16, 8, 2), 1));
    p.drawLine(QPointF(inner.left() + 30, ruleY), QPointF(inner.right() - 30, ruleY));
    p.setPen(QPen(QColor(160, 118, 78, 160), 1));
    p.drawLine(QPointF(inner.left() + 30, ruleY + 1), QPointF(inner.right() - 30, ruleY + 1));

    QFont subtitle;
    subtitle.setFamilies({u"URW Bookman"_s, u"C059"_s, u"DejaVu Serif"_s, u"serif"_s});
    subtitle.setItalic(true);
    subtitle.setPixelSize(18);
    engravedText(p, QRectF(inner.left(), ruleY + 8, inner.width(), 26), Qt::AlignHCenter | Qt::AlignTop, subtitle,
                 u"A bindings manager for Quake & Quake2"_s, QColor(234, 212, 170));

    console(p, QRectF(inner.left() + 16, inner.bottom() - 58, inner.width() - 32, 24));

    QFont small;
    small.setFamilies({u"DejaVu Sans"_s, u"sans-serif"_s});
    small.setPixelSize(12);
    small.setBold(true);
    engravedText(p, QRectF(inner.left(), inner.bottom() - 24, inner.width() - 10, 18),
                 Qt::AlignRight | Qt::AlignVCenter, small, u"Version "_s + AppInfo::versionText(),
                 QColor(214, 182, 130));
    return image;
}

} // namespace vbu::SplashPicture
