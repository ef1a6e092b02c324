#include "gui/editor/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

const QColor ink(40, 40, 48);
const QColor paper(250, 250, 244);

void page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3, r.top());
    path.lineTo(r.right(), r.top() + 3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(paper);
    p.setPen(QPen(ink, 1));
    p.drawPath(path);
}

void textLines(QPainter &p, qreal left, qreal right, qreal top, int count)
{
    p.setPen(QPen(QColor(110, 110, 130), 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + 2 * i), QPointF(right, top + 2 * i));
}

void drawNew(QPainter &p)
{
    page(p, QRectF(3.5, 1.5, 9, 13));
    p.setPen(QPen(QColor(230, 170, 20), 1.5));
    p.drawLine(QPointF(12, 10), QPointF(12, 15));
    p.drawLine(QPointF(9.5, 12.5), QPointF(14.5, 12.5));
}

void drawOpen(QPainter &p)
{
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(236, 196, 90));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.setBrush(QColor(250, 220, 120));
    const QPointF flap[] = {{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    p.drawPolygon(flap, 4);
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(60, 100, 190));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(paper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 200, 210));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void drawCopy(QPainter &p)
{
    page(p, QRectF(1.5, 1.5, 8, 10));
    page(p, QRectF(6.5, 4.5, 8, 10));
    textLines(p, 8, 13, 8, 3);
}

void drawCut(QPainter &p)
{
    p.setPen(QPen(ink, 1.2));
    p.drawLine(QPointF(4, 1), QPointF(10.5, 11));
    p.drawLine(QPointF(12, 1), QPointF(5.5, 11));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(190, 30, 30), 1.5));
    p.drawEllipse(QPointF(4.5, 12.5), 2.3, 2.3);
    p.drawEllipse(QPointF(11.5, 12.5), 2.3, 2.3);
}

void drawPaste(QPainter &p)
{
    p.setPen(QPen(QColor(100, 70, 30), 1));
    p.setBrush(QColor(190, 140, 70));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(QRectF(4.5, 1.5, 4, 2));
    page(p, QRectF(6.5, 6.5, 8, 8));
    textLines(p, 8, 13, 9, 3);
}

void drawDelete(QPainter &p)
{
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawInsert(QPainter &p)
{
    page(p, QRectF(2.5, 1.5, 11, 13));
    p.setPen(QPen(QColor(20, 130, 40), 1.3));
    p.drawLine(QPointF(5, 10), QPointF(7.5, 4));
    p.drawLine(QPointF(8, 10), QPointF(10.5, 4));
}

void drawCommandList(QPainter &p)
{
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(3.5, 4), QPointF(3.5, 13.5));
    p.drawLine(QPointF(3.5, 8.5), QPointF(6, 8.5));
    p.drawLine(QPointF(3.5, 13.5), QPointF(6, 13.5));
    p.setBrush(QColor(80, 170, 80));
    p.drawRect(QRectF(1.5, 1.5, 4, 3));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(6.5, 7.5, 3, 2));
    p.drawRect(QRectF(6.5, 12.5, 3, 2));
    p.setPen(QPen(QColor(110, 110, 130), 1));
    p.drawLine(QPointF(11, 8.5), QPointF(15, 8.5));
    p.drawLine(QPointF(11, 13.5), QPointF(15, 13.5));
    p.drawLine(QPointF(7, 3), QPointF(15, 3));
}

void drawFunName(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 60, 30));
    p.drawRect(QRectF(0, 3, 16, 10));
    QFont f = p.font();
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(230, 190, 60));
    p.drawText(QRectF(0, 3, 8, 10), Qt::AlignCenter, u"A"_s);
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRectF(8, 3, 8, 10), Qt::AlignCenter, u"b"_s);
}

void drawAbout(QPainter &p)
{
    p.setPen(QPen(QColor(20, 60, 140), 1));
    p.setBrush(QColor(70, 130, 220));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::white, 2));
    p.drawPoint(QPointF(8, 4.8));
    p.drawLine(QPointF(8, 7.5), QPointF(8, 12));
}

void drawExit(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 30), 1));
    p.setBrush(QColor(170, 120, 70));
    p.drawRect(QRectF(2.5, 1.5, 8, 13));
    p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
}

struct Entry
{
    QLatin1StringView key;
    QLatin1StringView theme;
    void (*draw)(QPainter &);
};

constexpr Entry entries[] = {
    {"New"_L1, "document-new"_L1, drawNew},
    {"Open"_L1, "document-open"_L1, drawOpen},
    {"Save"_L1, "document-save"_L1, drawSave},
    {"Copy"_L1, "edit-copy"_L1, drawCopy},
    {"Cut"_L1, "edit-cut"_L1, drawCut},
    {"Paste"_L1, "edit-paste"_L1, drawPaste},
    {"Delete"_L1, "edit-delete"_L1, drawDelete},
    {"Insert"_L1, "insert-text"_L1, drawInsert},
    {"cmdList"_L1, "view-list-tree"_L1, drawCommandList},
    {"FunName"_L1, ""_L1, drawFunName},
    {"About"_L1, "help-about"_L1, drawAbout},
    {"Exit"_L1, "application-exit"_L1, drawExit},
};

const Entry *find(const QString &key)
{
    for (const Entry &e : entries) {
        if (key == e.key)
            return &e;
    }
    return nullptr;
}

} // namespace

QPixmap ToolbarIcons::drawn(const QString &imageKey)
{
    const Entry *e = find(imageKey);
    if (!e)
        return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    e->draw(p);
    return pixmap;
}

QIcon ToolbarIcons::icon(const QString &imageKey)
{
    const Entry *e = find(imageKey);
    if (!e)
        return {};
    const QIcon own(drawn(imageKey));
    return e->theme.isEmpty() ? own : QIcon::fromTheme(e->theme, own);
}

} // namespace vbu
