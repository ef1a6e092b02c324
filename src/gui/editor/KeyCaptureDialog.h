#pragma once

#include <QDialog>

namespace vbu {

// A small window that waits for one key, mouse button or wheel turn and says the game's name
// for it. Escape cancels.
class KeyCaptureDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyCaptureDialog)

public:
    explicit KeyCaptureDialog(QWidget *parent = nullptr);

signals:
    void captured(const QString &keyName);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void take(const QString &name);
};

} // namespace vbu
