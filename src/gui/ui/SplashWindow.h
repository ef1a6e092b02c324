#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

namespace vbu {

// frmSplash: the program's first window, a fixed picture. It counts down two ticks of a one-second
// timer, then opens the main window and goes; a key press before that closes it without opening
// anything.
class SplashWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplashWindow)

public:
    // Creates the main window; it is shown at once. Nothing is opened when it returns null.
    using MainWindowFactory = std::function<QWidget *()>;

    // Deletes itself when closed.
    SplashWindow(QImage picture, MainWindowFactory openMainWindow);
    ~SplashWindow() override;

    // The seconds still to count.
    int counter() const { return m_counter; }

public slots:
    // One second of the countdown; the last one opens the main window.
    void tick();

signals:
    // Once, when the first frame of the splash has gone out: what waits for it does not hold the
    // splash back.
    void shown();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void load();

    MainWindowFactory m_openMainWindow;
    QImage m_picture;
    QTimer *m_timer = nullptr;
    QLabel *m_lblTimeLeft = nullptr;
    qint16 m_counter = 0;
    bool m_painted = false;
};

} // namespace vbu
