#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;

namespace vbu {

class DockedToolWindow;

// One of the main window's two tool-window switches: an Options entry and a toolbar check
// button that stay checked exactly while their window is open.
class ToolWindowSwitch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolWindowSwitch)

public:
    using Factory = std::function<DockedToolWindow *()>;

    ToolWindowSwitch(QAction *menuEntry, QAction *toolbarButton, Factory factory, QObject *parent = nullptr);

    bool isOpen() const { return !m_window.isNull(); }
    DockedToolWindow *window() const { return m_window; }
    // The command: closes an open window, else opens it loaded afresh.
    void toggle();
    void close();

private:
    void open();
    void showState();

    QAction *m_menuEntry;
    QAction *m_toolbarButton;
    Factory m_factory;
    QPointer<DockedToolWindow> m_window;
};

} // namespace vbu
