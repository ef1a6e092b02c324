#pragma once

#include <QPointer>
#include <QWidget>

class QCheckBox;

namespace vbu {

// A tool window beside the main window: while its chkDocked box is ticked it stands against
// the main window's right edge, level with its top, and follows every move of either window.
// It is deleted when closed, and says so first through closing().
class DockedToolWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DockedToolWindow)

public:
    // mainWindow is watched, not owned: a tool window has no owner.
    explicit DockedToolWindow(QWidget *mainWindow);
    ~DockedToolWindow() override;

    // The dock rule: the docked place, when the box is ticked.
    void dockToMain();

signals:
    // The window is about to go, by any way of closing.
    void closing();

protected:
    QWidget *mainWindow() const { return m_main; }
    QCheckBox *chkDocked() const { return m_chkDocked; }
    // Puts the "Dock to Main Window" box at its design place in the client area; call once
    // from the constructor.
    void placeDockBox(QWidget *client, const QRect &geometry);
    // Starts watching the moves of both windows and takes the docked place; call at the end of
    // loading, before the window is shown.
    void startWatchers();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_main;
    QCheckBox *m_chkDocked;
};

} // namespace vbu
