#include "gui/app/MenuKeysFirst.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>

#include <algorithm>

namespace vbu {

MenuKeysFirst::MenuKeysFirst(QMenuBar *menus) : QObject(menus), m_menus(menus) {}

void MenuKeysFirst::watch(QWidget *field)
{
    field->installEventFilter(this);
    // The box asks its line edit directly, past any filter on it, whether it wants the key.
    if (const auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

bool MenuKeysFirst::eventFilter(QObject *watched, QEvent *event)
{
    // A field that accepts the override keeps the key from the shortcuts; left unaccepted, the
    // menu entry's shortcut gets it.
    if (event->type() == QEvent::ShortcutOverride && isMenuKey(*static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool MenuKeysFirst::isMenuKey(const QKeyEvent &key) const
{
    const QKeySequence pressed(key.keyCombination());
    const QList<QAction *> entries = m_menus->findChildren<QAction *>();
    return std::any_of(entries.cbegin(), entries.cend(),
                       [&](const QAction *entry) { return entry->shortcuts().contains(pressed); });
}

} // namespace vbu
