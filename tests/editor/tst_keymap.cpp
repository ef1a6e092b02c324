#include "core/editor/ScriptEdits.h"
#include "gui/editor/KeyCap.h"
#include "gui/editor/KeyMapWindow.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

using namespace Qt::StringLiterals;
using vbu::KeyCap;
using vbu::KeyMapWindow;
using vbu::test::MainWindowHarness;

namespace {

// What the chosen key c shows when its next press runs c1, c2 or c3.
QString cycleStep(const char *alias, const char *word, const char *next)
{
    return QString::fromLatin1("\"c\" = \"cyc\"\npress c\n  cyc\n    %1\n      echo %2 # %2\n      alias cyc %3\n"
                               "release c\n")
        .arg(QLatin1StringView(alias), QLatin1StringView(word), QLatin1StringView(next));
}

// Ctrl+M in the main window, as the player opens it: the window that then has the focus.
KeyMapWindow *openKeyMap(const MainWindowHarness &h)
{
    QTest::keyClick(h.window.get(), Qt::Key_M, Qt::ControlModifier);
    const auto active = [] { return qobject_cast<KeyMapWindow *>(QApplication::activeWindow()); };
    return QTest::qWaitFor([&] { return active() != nullptr; }) ? active() : nullptr;
}

KeyCap *cap(const KeyMapWindow *map, QByteArrayView name)
{
    return map->findChild<KeyCap *>(u"key_"_s + QLatin1StringView(name));
}

QString steps(const KeyMapWindow *map)
{
    return map->findChild<QPlainTextEdit *>(u"txtSteps"_s)->toPlainText();
}

void keys(const QList<Qt::Key> &sequence)
{
    for (const Qt::Key key : sequence)
        QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class TestKeyMap : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    // What each cap tells assistive tools of its key, "-" where the game has no such key. Quake:
    // bound; bound again, in another case; unbound later; bound inside an alias only; a capital
    // letter, never pressed; by the game's name; no keypad. Quake 2: the keypad; the mouse.
    void shadesTheKeysTheListBinds()
    {
        MainWindowHarness h;
        const QByteArrayList lines{"bind w +forward", "bind f1 help",         "bind F1 score", "bind x +attack",
                                   "unbind x",        "alias a \"bind s x\"", "bind C +jump",  "bind semicolon x",
                                   "bind KP_ENTER y", "bind mouse2 +zoom"};
        h.setLines(lines);
        QVERIFY(h.showActive());
        KeyMapWindow *map = openKeyMap(h);
        QVERIFY(map);
        QStringList shown;
        for (const auto &[game, keys] :
             {std::pair{u"Quake"_s, QByteArrayList{"w", "f1", "x", "s", "c", "semicolon", "kp_enter"}},
              std::pair{u"Quake 2"_s, QByteArrayList{"kp_enter", "mouse2"}}}) {
            auto *games = map->findChild<QComboBox *>(u"cmbGame"_s);
            games->setCurrentIndex(games->findText(game));
            for (const QByteArray &key : keys)
                shown.append(cap(map, key)->isVisible() ? cap(map, key)->accessibleDescription() : u"-"_s);
        }
        QCOMPARE(shown, (QStringList{u"bound"_s, u"bound twice"_s, u"not bound"_s, u"not bound"_s, u"not bound"_s,
                                     u"bound"_s, u"-"_s, u"bound"_s, u"bound"_s}));
        QCOMPARE(h.lines(), lines);
    }

    // One window, brought forward again; it follows the list, and a double click puts a key's
    // name into the key box (the game's name: a ';' would end the bind command).
    void opensOnceAndFollowsTheList()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        KeyMapWindow *map = openKeyMap(h);
        QVERIFY(map);
        QVERIFY(!map->isModal());
        QCOMPARE(cap(map, "m")->accessibleDescription(), u"not bound"_s);
        const QImage unshaded = cap(map, "m")->grab().toImage();
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QCOMPARE(openKeyMap(h), map);

        h.window->edits().insert(0, "bind m +attack");
        QTRY_COMPARE(cap(map, "m")->accessibleDescription(), u"bound"_s);
        QVERIFY(cap(map, "m")->grab().toImage() != unshaded);
        h.window->edits().replace(0, "bind m x; bind m y");
        QTRY_COMPARE(cap(map, "m")->accessibleDescription(), u"bound twice"_s);
        h.window->edits().remove(0);
        QTRY_COMPARE(cap(map, "m")->accessibleDescription(), u"not bound"_s);

        QTest::mouseDClick(cap(map, "semicolon"), Qt::LeftButton);
        QCOMPARE(h.child<QComboBox>("txtKey")->currentText(), u"semicolon"_s);
        QVERIFY(h.lines().isEmpty());
    }

    // The chosen key shows what its next press runs; Enter, Space and Press run it, and the game
    // keeps what it changed until Reset.
    void pressesStepTheGameUntilReset()
    {
        const QByteArrayList cycleScript{"alias cyc c1", "alias c1 \"echo one; alias cyc c2\"",
                                         "alias c2 \"echo two; alias cyc c3\"", "alias c3 \"echo three; alias cyc c1\"",
                                         "bind c cyc"};
        MainWindowHarness h;
        h.setLines(cycleScript);
        QVERIFY(h.showActive());
        KeyMapWindow *map = openKeyMap(h);
        QVERIFY(map);
        // From escape, the first key, down the left side and along the bottom row of letters.
        keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right});
        QCOMPARE(QApplication::focusWidget(), cap(map, "c"));
        QCOMPARE(steps(map), cycleStep("c1", "one", "c2"));
        keys({Qt::Key_Return});
        QCOMPARE(steps(map), cycleStep("c2", "two", "c3"));
        keys({Qt::Key_Space});
        QCOMPARE(steps(map), cycleStep("c3", "three", "c1"));
        QTest::mouseClick(map->findChild<QPushButton *>(u"cmdPress"_s), Qt::LeftButton);
        QCOMPARE(steps(map), cycleStep("c1", "one", "c2"));
        keys({Qt::Key_Return});
        QTest::mouseClick(map->findChild<QPushButton *>(u"cmdReset"_s), Qt::LeftButton);
        QCOMPARE(steps(map), cycleStep("c1", "one", "c2"));
        // A key the list leaves alone.
        keys({Qt::Key_Left});
        QCOMPARE(steps(map), u"\"x\" is not bound\npress x\nrelease x\n"_s);
        QCOMPARE(h.lines(), cycleScript);
    }

    // Over a command or variable in the steps, the tool tip tells what it does in the chosen game:
    // each line of it up to its ':', but defaults.
    void stepsTellWhatTheirCommandsDo()
    {
        MainWindowHarness h;
        h.setLines({"bind a \"+attack; fov 90\""});
        QVERIFY(h.showActive());
        KeyMapWindow *map = openKeyMap(h);
        QVERIFY(map);
        auto *text = map->findChild<QPlainTextEdit *>(u"txtSteps"_s);
        QStringList shown;
        // The game in cmbGame, the text under the pointer from its first letter on.
        for (const auto &[game, at] : {std::pair{0, u"fov 90 #"_s}, {1, u"fov 90 #"_s}, {0, u"90 #"_s}}) {
            map->findChild<QComboBox *>(u"cmbGame"_s)->setCurrentIndex(game);
            // The click also takes away the last tool tip at once.
            QTest::mouseClick(cap(map, "a"), Qt::LeftButton);
            QTextCursor cursor(text->document());
            cursor.setPosition(int(text->toPlainText().indexOf(at)) + 1);
            const QPoint pointer = text->cursorRect(cursor).center();
            QHelpEvent hover(QEvent::ToolTip, pointer, text->viewport()->mapToGlobal(pointer));
            QApplication::sendEvent(text->viewport(), &hover);
            QStringList heads;
            for (const QString &line :
                 (QToolTip::isVisible() ? QToolTip::text() : QString()).split(u'\n', Qt::SkipEmptyParts)) {
                if (!line.startsWith("Default: "_L1))
                    heads.append(line.section(u':', 0, 0));
            }
            shown.append(heads.join(u'|'));
        }
        QCOMPARE(shown, (QStringList{u"fov|Quake"_s, u"fov|Quake 2"_s, QString()}));
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestKeyMap)
#include "tst_keymap.moc"
