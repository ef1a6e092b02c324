#pragma once

#include "gui/editor/KeyMapBindings.h"

#include <QAbstractButton>
#include <QByteArray>

namespace vbu {

// One key of the Key Map: a cap with the game's name for the key, shaded when the list binds
// it and marked when it binds it twice. A click or the focus chooses it; Enter and Space ask for
// a press; a double click asks for its name; arrow keys ask for a step to a neighbour.
class KeyCap final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyCap)

public:
    // name: as bind takes it; label: what the cap shows, the name when empty.
    KeyCap(const QByteArray &name, const QString &label, QWidget *parent = nullptr);

    const QByteArray &name() const { return m_name; }
    KeyMapBindings::Use use() const { return m_use; }
    void setUse(KeyMapBindings::Use use);

signals:
    void focused();
    void pressRequested();
    void nameRequested();
    // An arrow key: dx, dy of -1, 0 or 1.
    void stepRequested(int dx, int dy);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QByteArray m_name;
    KeyMapBindings::Use m_use = KeyMapBindings::Use::Free;
};

} // namespace vbu
