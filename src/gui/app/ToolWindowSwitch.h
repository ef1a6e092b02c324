#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;

namespace vbu {

class DockedToolWindow;

// One of the main window's two tool-window switches: a checkable command, shared by an Options
// entry and a toolbar button, that stays checked exactly while its window is open.
class ToolWindowSwitch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolWindowSwitch)

public:
    using Factory = std::function<DockedToolWindow *()>;

    ToolWindowSwitch(QAction *action, Factory factory, QObject *parent = nullptr);

    bool isOpen() const { return !m_window.isNull(); }
    DockedToolWindow *window() const { return m_window; }
    // The command: closes an open window, else opens it loaded afresh.
    void toggle();
    void close();

private:
    void open();
    void showState();

    QAction *m_action;
    Factory m_factory;
    QPointer<DockedToolWindow> m_window;
};

} // namespace vbu
