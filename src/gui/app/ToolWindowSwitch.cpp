#include "gui/app/ToolWindowSwitch.h"

#include "gui/catalogue/DockedToolWindow.h"

#include <QAction>

namespace vbu {

ToolWindowSwitch::ToolWindowSwitch(QAction *action, Factory factory, QObject *parent)
    : QObject(parent), m_action(action), m_factory(std::move(factory))
{
    showState();
}

void ToolWindowSwitch::toggle()
{
    // The checkable action has already flipped itself; the window decides.
    if (isOpen())
        close();
    else
        open();
}

void ToolWindowSwitch::open()
{
    m_window = m_factory();
    if (!m_window) {
        showState();
        return;
    }
    // The close step: however the window goes, its switch is released first.
    connect(m_window, &DockedToolWindow::closing, this, [this] {
        m_window = nullptr;
        showState();
    });
    showState();
    m_window->show();
}

void ToolWindowSwitch::close()
{
    if (m_window)
        m_window->close();
    showState();
}

void ToolWindowSwitch::showState()
{
    m_action->setChecked(isOpen());
}

} // namespace vbu
