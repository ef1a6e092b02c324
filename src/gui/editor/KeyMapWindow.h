#pragma once

#include "core/check/ConsoleModel.h"
#include "core/check/ScriptChecker.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace vbu {

class KeyCap;
class NameHelp;
class ScriptModel;

// frmKeyMap: a keyboard in the game's key names, the keys the list binds shaded and those it
// binds twice marked. The chosen key shows its binding and what its next press and release run
// in the game's console; a press runs them, and the game keeps what they change for the next
// key, until Reset or a change of the list runs the list afresh. It is modeless, has no owner,
// never changes the list, and asks for a key's name to be used by keyChosen (a double click).
class KeyMapWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyMapWindow)

public:
    // The game's commands and variables come from its profile. The window deletes itself when
    // closed.
    explicit KeyMapWindow(const ScriptModel &script);
    ~KeyMapWindow() override;

    CheckGame game() const;
    // The chosen key's name, as bind takes it.
    QByteArray chosenKey() const;

signals:
    void keyChosen(const QByteArray &name);

public slots:
    // The list runs afresh, as exec runs it, and the keys show what it binds.
    void reset();
    // The chosen key goes down and up.
    void pressChosen();

protected:
    // Over a command or variable in the steps, the tool tip tells what it does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Cap
    {
        KeyCap *widget = nullptr;
        int key = -1; // the game's number; -1 where the game has no such key
    };

    void buildKeyboard(QWidget *keyboard);
    void placeKeys();
    void choose(KeyCap *cap);
    void step(const KeyCap *from, int dx, int dy);
    void showChosen();
    void showState();
    const Cap *chosen() const;

    const ScriptModel &m_script;
    ConsoleNames m_quakeNames;
    ConsoleNames m_quake2Names;
    // Why a game's profile could not be read; empty when it was.
    QString m_quakeNamesError;
    QString m_quake2NamesError;
    std::unique_ptr<ConsoleModel> m_console;
    // How the list's run ended, when it ended early.
    QString m_listEnd;
    int m_presses = 0;
    std::vector<Cap> m_caps;
    KeyCap *m_chosen = nullptr;
    QWidget *m_keyboard = nullptr;
    QComboBox *m_cmbGame = nullptr;
    QPlainTextEdit *m_txtSteps = nullptr;
    QLabel *m_lblState = nullptr;
    // What the game profiles say about names, read when first needed.
    std::unique_ptr<NameHelp> m_nameHelp;
    // Changes to the list come in bursts (a load reports each row); one run follows them.
    QTimer m_rerun;
};

} // namespace vbu
