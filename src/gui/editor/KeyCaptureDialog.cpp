#include "gui/editor/KeyCaptureDialog.h"

#include "core/editor/CapturedKey.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

KeyCaptureDialog::KeyCaptureDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmCaptureKey"_s);
    setWindowTitle(u"Capture Key"_s);
    auto *label = new QLabel(u"Press the key, mouse button or wheel to bind (Esc cancels)"_s, this);
    label->setObjectName(u"lblCapture"_s);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(18);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    setFocusPolicy(Qt::StrongFocus);
}

void KeyCaptureDialog::take(const QString &name)
{
    // A key the game has no name for is not an answer; keep waiting.
    if (name.isEmpty())
        return;
    emit captured(name);
    accept();
}

bool KeyCaptureDialog::event(QEvent *event)
{
    // Tab and the keys that would move the focus or trigger shortcuts are keys to bind here.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent *>(event));
        return true;
    }
    return QDialog::event(event);
}

void KeyCaptureDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    take(CapturedKey::fromKey(event->key(), event->modifiers(), event->text()));
}

void KeyCaptureDialog::mousePressEvent(QMouseEvent *event)
{
    take(CapturedKey::fromMouseButton(event->button()));
}

void KeyCaptureDialog::wheelEvent(QWheelEvent *event)
{
    take(CapturedKey::fromWheel(event->angleDelta().y()));
}

} // namespace vbu
