#pragma once

#include "core/check/ScriptChecker.h"
#include "core/funname/ConsoleFont.h"

#include <QHash>
#include <QIcon>
#include <QStyledItemDelegate>

#include <array>
#include <optional>

class QAbstractItemView;

namespace vbu {

// Paints the rows of the bindings list: printable ASCII as text in the list's font, every other
// byte as its glyph of the game's console font, so a line looks as the game will show it. The
// model is only read: what is copied, pasted and saved stays the raw bytes.
//
// Rows of other models are painted the same way when their text is Latin-1.
//
// While marks are shown, each row gets a mark column at its left, and the rows with findings
// carry the icon of their worst finding there. The column also stands while rows of the script
// came from lines that Open changed (ScriptModel::OpenChangedRole); those rows carry an
// information icon there, and the model gives them a tool tip that says why.
class ScriptLineDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptLineDelegate)

public:
    // view: the list it paints; it is repainted when the marks change. The glyphs are those of
    // ConsoleFont::shared(), the font of the name editor.
    explicit ScriptLineDelegate(QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Marks the lines of these findings (1-based lines), the worst finding of a line winning.
    void showMarks(const QList<CheckFinding> &findings);
    void clearMarks();
    bool marksShown() const { return m_marksShown; }
    // The mark of a row from 0, if it has one.
    std::optional<CheckSeverity> markOf(qsizetype row) const;

    // Bytes shown by a glyph rather than as text.
    static bool isGlyphByte(uchar byte) { return byte < 32 || byte > 126; }
    // The side of a glyph (and of a mark) for text of this height: whole font pixels when
    // that keeps it near the text's size, so the pixel art stays crisp.
    static int glyphSide(int textHeight);
    // The icon of a severity, shared by the marks and the check report.
    static QIcon severityIcon(CheckSeverity severity);

private:
    void repaintView() const;
    const QImage &glyphImage(uchar code) const;

    QAbstractItemView *m_view;
    // The glyphs at one font pixel a pixel, black made transparent: they stand on the list's
    // own background as text does. Made when first needed.
    mutable std::array<QImage, ConsoleFont::glyphCount> m_glyphs;
    mutable bool m_glyphsMade = false;
    QHash<qsizetype, CheckSeverity> m_marks;
    bool m_marksShown = false;
};

} // namespace vbu
