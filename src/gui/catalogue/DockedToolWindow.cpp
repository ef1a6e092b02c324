#include "gui/catalogue/DockedToolWindow.h"

#include <QCheckBox>
#include <QCloseEvent>

using namespace Qt::StringLiterals;

namespace vbu {

DockedToolWindow::DockedToolWindow(QWidget *mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(mainWindow), m_chkDocked(new QCheckBox(u"Dock to Main Window"_s, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_chkDocked->setObjectName(u"chkDocked"_s);
    m_chkDocked->setChecked(true);
    connect(m_chkDocked, &QCheckBox::clicked, this, &DockedToolWindow::dockToMain);
}

DockedToolWindow::~DockedToolWindow()
{
    if (m_main)
        m_main->removeEventFilter(this);
}

void DockedToolWindow::placeDockBox(QWidget *client, const QRect &geometry)
{
    m_chkDocked->setParent(client);
    m_chkDocked->setGeometry(geometry);
}

void DockedToolWindow::startWatchers()
{
    if (m_main)
        m_main->installEventFilter(this);
    installEventFilter(this);
    // Placed before it is first shown, the window manager puts the frame itself at the docked
    // place; placed later, the frame it adds would shift the window off it.
    dockToMain();
}

void DockedToolWindow::dockToMain()
{
    if (!m_main || !m_chkDocked->isChecked())
        return;
    const QRect main = m_main->frameGeometry();
    const QPoint docked(main.left() + main.width(), main.top());
    // Moving to where it already stands would report no move anyway; asking nothing keeps
    // the rule from ever feeding itself.
    if (pos() != docked)
        move(docked);
}

bool DockedToolWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move && (watched == m_main || watched == this))
        dockToMain();
    return QWidget::eventFilter(watched, event);
}

void DockedToolWindow::closeEvent(QCloseEvent *event)
{
    emit closing();
    event->accept();
}

} // namespace vbu
