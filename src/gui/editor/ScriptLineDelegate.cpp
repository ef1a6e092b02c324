#include "gui/editor/ScriptLineDelegate.h"

#include "core/script/ScriptModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// Room between the mark column and the text.
constexpr int markGap = 3;

QImage keyedGlyph(const QImage &glyph)
{
    // The font's glyphs hold every font pixel twice in each direction.
    constexpr int scale = ConsoleFont::glyphSize / ConsoleFont::Sheet::cell;
    QImage out(ConsoleFont::Sheet::cell, ConsoleFont::Sheet::cell, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb pixel = glyph.pixel(x * scale, y * scale);
            line[x] = (pixel & 0xffffff) == 0 ? 0 : (pixel | 0xff000000);
        }
    }
    return out;
}

std::optional<QByteArray> latin1Bytes(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return std::nullopt;
    }
    return text.toLatin1();
}

const QStyle *styleOf(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

ScriptLineDelegate::ScriptLineDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), m_view(view) {}

const QImage &ScriptLineDelegate::glyphImage(uchar code) const
{
    // A list without special bytes never needs the game's font looked for.
    if (!m_glyphsMade) {
        const ConsoleFont &font = ConsoleFont::shared();
        for (int c = 0; c < ConsoleFont::glyphCount; ++c)
            m_glyphs[std::size_t(c)] = keyedGlyph(font.glyph(c));
        m_glyphsMade = true;
    }
    return m_glyphs[code];
}

int ScriptLineDelegate::glyphSide(int textHeight)
{
    // Whole font pixels when that loses at most a quarter of the height; below that the glyph
    // would look too small beside the text, and it takes the text's height as it is.
    const int whole = textHeight / ConsoleFont::Sheet::cell * ConsoleFont::Sheet::cell;
    if (whole > 0 && whole * 4 >= textHeight * 3)
        return whole;
    return qMax(textHeight, 1);
}

QIcon ScriptLineDelegate::severityIcon(CheckSeverity severity)
{
    return QApplication::style()->standardIcon(severity == CheckSeverity::Error ? QStyle::SP_MessageBoxCritical
                                                                                : QStyle::SP_MessageBoxWarning);
}

QSize ScriptLineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    // The same for every row: the view keeps uniform row heights, so no line is measured.
    QStyleOptionViewItem probe = option;
    probe.features = QStyleOptionViewItem::HasDisplay;
    probe.text = u"Xg"_s;
    probe.icon = {};
    const QSize text = styleOf(option)->sizeFromContents(QStyle::CT_ItemViewItem, &probe, QSize(), option.widget);
    // Rows as high as plain text rows: a glyph is no higher than the text.
    return {text.width(), qMax(text.height(), glyphSide(option.fontMetrics.height()))};
}

void ScriptLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QByteArray line;
    if (const QVariant bytes = index.data(ScriptModel::LineBytesRole); bytes.typeId() == QMetaType::QByteArray) {
        line = bytes.toByteArray();
    } else if (const auto latin1 = latin1Bytes(opt.text)) {
        // Other lists (the check report) show script text through Latin-1 as well.
        line = *latin1;
    } else {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QStyle *style = styleOf(opt);
    const QRect textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    // The style draws the row's background, selection and focus; the line is ours.
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const QRect area = textArea.adjusted(margin, 0, -margin, 0);
    if (area.width() <= 0)
        return;
    const QFontMetrics &metrics = opt.fontMetrics;
    const int side = glyphSide(metrics.height());
    const int glyphTop = area.top() + (area.height() - side) / 2;
    int x = area.left();

    painter->save();
    painter->setClipRect(area);
    // Rows that came from a line Open changed are marked as long as any are left; a finding of
    // the check on the row is shown in their place.
    const auto *script = qobject_cast<const ScriptModel *>(index.model());
    if (m_marksShown || (script && !script->marks().isEmpty())) {
        const QRect markArea(x, glyphTop, side, side);
        if (const auto mark = markOf(index.row()))
            severityIcon(*mark).paint(painter, markArea);
        else if (index.data(ScriptModel::OpenChangedRole).toBool())
            QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).paint(painter, markArea);
        x += side + markGap;
    }

    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    painter->setPen(
        opt.palette.color(group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    // Pixel art: nearest neighbour keeps the font's pixels square and sharp.
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();

    const auto *bytes = reinterpret_cast<const uchar *>(line.constData());
    const qsizetype size = line.size();
    qsizetype i = 0;
    while (i < size && x <= area.right()) {
        if (isGlyphByte(bytes[i])) {
            painter->drawImage(QRect(x, glyphTop, side, side), glyphImage(bytes[i]));
            x += side;
            ++i;
            continue;
        }
        // Every printable character is at least a pixel wide: a long run is cut where it
        // would leave the row anyway.
        const qsizetype room = area.right() - x + 1;
        qsizetype end = i;
        while (end < size && end - i < room && !isGlyphByte(bytes[end]))
            ++end;
        const QString run = QString::fromLatin1(line.constData() + i, end - i);
        painter->drawText(QPoint(x, baseline), run);
        x += metrics.horizontalAdvance(run);
        i = end;
    }
    painter->restore();
}

void ScriptLineDelegate::showMarks(const QList<CheckFinding> &findings)
{
    m_marks.clear();
    for (const CheckFinding &finding : findings) {
        const qsizetype row = finding.line - 1;
        const auto it = m_marks.constFind(row);
        // Errors come first in the severities: the smaller one is the worse.
        if (it == m_marks.cend() || finding.severity < *it)
            m_marks.insert(row, finding.severity);
    }
    m_marksShown = true;
    repaintView();
}

void ScriptLineDelegate::clearMarks()
{
    m_marks.clear();
    m_marksShown = false;
    repaintView();
}

std::optional<CheckSeverity> ScriptLineDelegate::markOf(qsizetype row) const
{
    const auto it = m_marks.constFind(row);
    if (it == m_marks.cend())
        return std::nullopt;
    return *it;
}

void ScriptLineDelegate::repaintView() const
{
    m_view->viewport()->update();
}

} // namespace vbu
