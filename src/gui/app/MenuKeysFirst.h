#pragma once

#include <QObject>

class QKeyEvent;
class QMenuBar;
class QWidget;

namespace vbu {

// Gives the keys of a window's menu entries precedence over the editing keys of its fields:
// Ctrl+C copies the selected line, not the text of the field that has the focus, and Ctrl+Z
// takes back the last change to the script, not the last typing.
class MenuKeysFirst final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuKeysFirst)

public:
    // The entries are those of the menus, read at each key press.
    explicit MenuKeysFirst(QMenuBar *menus);

    // A field whose keys give way; for an editable combo box, its line edit too.
    void watch(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isMenuKey(const QKeyEvent &key) const;

    QMenuBar *m_menus;
};

} // namespace vbu
