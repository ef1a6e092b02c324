#pragma once

#include <QAbstractButton>
#include <QByteArray>
#include <QImage>

namespace vbu {

// One 16 by 16 character cell of the name editor: a glyph picture, or none, and the text the
// cell stands for. It clicks like a button, with the mouse or with Enter and Space, shows when
// it has the keyboard focus, and passes arrow keys on as steps to its neighbours.
class GlyphCell final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlyphCell)

public:
    static constexpr int side = 16;

    explicit GlyphCell(QWidget *parent = nullptr);

    // A null image empties the picture.
    void setGlyph(const QImage &glyph);
    const QImage &glyph() const { return m_glyph; }
    // Bytes, not QString: codes 128 to 255 must reach the script as they are.
    void setBytes(const QByteArray &bytes) { m_bytes = bytes; }
    const QByteArray &bytes() const { return m_bytes; }
    // A faint line where an empty cell stands, so that the free places show.
    void setMarksEmpty(bool marks) { m_marksEmpty = marks; }

    QSize sizeHint() const override { return {side, side}; }

signals:
    // An arrow key: one cell left/right (dx) or one row up/down (dy).
    void stepRequested(int dx, int dy);
    void focused();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QImage m_glyph;
    QByteArray m_bytes;
    bool m_marksEmpty = false;
};

} // namespace vbu
