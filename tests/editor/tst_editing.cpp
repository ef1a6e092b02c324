#include "core/app/MruList.h"
#include "core/editor/ScriptEdits.h"
#include "gui/editor/KeyCaptureDialog.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::MainWindowHarness;

namespace {

const QByteArrayList five{"l1", "l2", "l3", "l4", "l5"};

// Opens the capture window from the menu of a key box holding "q", presses and says what the box
// holds then, or "waiting" while the window is still open.
QString capture(MainWindowHarness &h, const std::function<void(QWidget *)> &press)
{
    h.child<QComboBox>("txtKey")->setEditText(u"q"_s);
    emit h.child<QComboBox>("txtKey")->lineEdit()->customContextMenuRequested(QPoint(3, 3));
    QMenu *menu = nullptr;
    if (!QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }) ||
        !menu->actions().contains(h.action("mnuCaptureKey")))
        return u"not offered"_s;
    menu->close();
    h.action("mnuCaptureKey")->trigger();
    QPointer<QWidget> dialog = QApplication::activeModalWidget();
    if (!qobject_cast<vbu::KeyCaptureDialog *>(dialog))
        return u"no capture window"_s;
    press(dialog);
    const bool waiting = dialog && dialog->isVisible();
    if (waiting)
        dialog->close();
    return waiting ? u"waiting"_s : h.child<QComboBox>("txtKey")->currentText();
}

// Drags the address onto the window and drops it there; whether the window took the drag.
bool dropOnto(MainWindowHarness &h, const QUrl &url)
{
    QMimeData data;
    data.setUrls({url});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(h.window.get(), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.window.get(), &drop);
    return enter.isAccepted();
}

} // namespace

// The editing commands, the toolbar, and the comforts around them.
class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    void clipboardCommandsActOnTheSelectedLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("clipboard");
        QTest::addColumn<int>("selectedAfter");
        const QByteArray held = "two\nlines";
        QTest::newRow("copy first") << u"mnuCopy"_s << 0 << five << QByteArray("l1") << 0;
        QTest::newRow("cut last") << u"mnuCut"_s << 4 << QByteArrayList{"l1", "l2", "l3", "l4"} << QByteArray("l5")
                                  << 3;
        QTest::newRow("delete middle") << u"mnuDelete"_s << 2 << QByteArrayList{"l1", "l2", "l4", "l5"} << held << 2;
        QTest::newRow("paste last") << u"mnuPaste"_s << 4 << QByteArrayList{"l1", "l2", "l3", "l4", held, "l5"} << held
                                    << 5;
        // Without a selection nothing changes, but copy and cut still empty the clipboard.
        QTest::newRow("cut, none") << u"mnuCut"_s << -1 << five << QByteArray() << -1;
        QTest::newRow("paste, none") << u"mnuPaste"_s << -1 << five << held << -1;
        QTest::newRow("delete, none") << u"mnuDelete"_s << -1 << five << held << -1;
    }

    void clipboardCommandsActOnTheSelectedLine()
    {
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(QByteArrayList, lines);
        QFETCH(QByteArray, clipboard);
        QFETCH(int, selectedAfter);
        MainWindowHarness h;
        h.setLines(five);
        h.window->selectRow(row);
        QApplication::clipboard()->setText(u"two\nlines"_s); // line breaks stay inside the one pasted line
        h.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(h.lines(), lines);
        QCOMPARE(QApplication::clipboard()->text().toLatin1(), clipboard);
        QCOMPARE(h.window->selectedRow(), selectedAfter);
    }

    void pasteCarriesBytesOnly()
    {
        MainWindowHarness h;
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        h.setLines({all, "x"});
        h.window->selectRow(0);
        h.window->listCopyClip();
        QCOMPARE(QApplication::clipboard()->text().size(), 255); // one character a byte, no line end added
        h.window->selectRow(1);
        h.window->listPasteClip();
        QApplication::clipboard()->clear();
        h.window->listPasteClip(); // nothing on the clipboard: an empty line
        QCOMPARE(h.lines(), (QByteArrayList{all, all, "", "x"}));

        // Text the game's font cannot show is refused, with a word why.
        QApplication::clipboard()->setText(u"\u263a"_s);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->listPasteClip();
        QCOMPARE(h.lines(), (QByteArrayList{all, all, "", "x"}));
    }

    void toolbarButtonsAreTheMenuCommands()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        auto *toolbar = h.child<QToolBar>("Toolbar1");
        QStringList buttons;
        for (QAction *b : toolbar->actions()) {
            const QString name = toolbar->widgetForAction(b)->objectName();
            buttons.append(b->isSeparator() ? u"|"_s : name.mid(9) + (b->isCheckable() ? u"*"_s : u""_s));
            // Separators count in the numbering; a button runs the very action of its menu entry.
            const QObjectList users = b->associatedObjects();
            QVERIFY(b->isSeparator() ? name == u"Toolbar1_button"_s + QString::number(buttons.size())
                                     : std::any_of(users.cbegin(), users.cend(),
                                                   [](QObject *o) { return qobject_cast<QMenu *>(o); }));
            // A picture of some substance, the theme's or our own drawing.
            const QImage picture = b->icon().pixmap(16, 16).toImage();
            int opaque = 0;
            for (int i = 0; i < picture.width() * picture.height(); ++i)
                opaque += qAlpha(picture.pixel(i % picture.width(), i / picture.width())) > 128;
            QVERIFY(b->isSeparator() || opaque > 10);
        }
        QCOMPARE(buttons.join(u' '),
                 u"New Open Save | Copy Cut Paste | Delete Insert | CmdList* FunName* | About | Exit"_s);
        // Tool tips of their own; About and Exit show none.
        for (const auto &[key, tip] : {std::pair{"Insert", u"Insert Comment"_s}, std::pair{"Exit", QString()}}) {
            QWidget *button = h.toolbarButton(key);
            QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(button, &help);
            QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
            QToolTip::hideText();
            QTRY_VERIFY(!QToolTip::isVisible());
        }

        h.setLines({"a", "b"});
        h.window->selectRow(0);
        h.toolbarButton("Delete")->click();
        QCOMPARE(h.lines(), QByteArrayList{"b"});
        h.prompter.answerInput({}); // cancelled
        h.prompter.answerInput(u"hello"_s);
        h.toolbarButton("Insert")->click();
        QCOMPARE(h.lines(), QByteArrayList{"b"});
        const auto &asked = h.prompter.last();
        QCOMPARE(asked.prompt, u"Please type your comment message"_s);
        QCOMPARE(asked.title, u"Insert Comment"_s);
        QCOMPARE(asked.proposed, u"Created by : Vantor's Bind Utility"_s);
        h.toolbarButton("Insert")->click();
        QCOMPARE(h.lines(), (QByteArrayList{"//hello", "b"}));
        h.toolbarButton("New")->click(); // no question
        QVERIFY(h.lines().isEmpty());
    }

    // A press in the capture window, as the game names it: key, modifiers and the text it types;
    // a negative key is that mouse button, key 0 a wheel turn by the modifiers' amount.
    void captureNamesThePress_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name"); // "waiting" while the window stays open
        const int none = Qt::NoModifier;
        QTest::newRow("f5") << int(Qt::Key_F5) << none << QString() << u"f5"_s;
        QTest::newRow("tab, not a focus move") << int(Qt::Key_Tab) << none << u"\t"_s << u"tab"_s;
        QTest::newRow("shifted letter") << int(Qt::Key_W) << int(Qt::ShiftModifier) << u"W"_s << u"w"_s;
        QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << u"!"_s << u"1"_s;
        QTest::newRow("semicolon would end the command") << int(Qt::Key_Semicolon) << none << u";"_s << u"semicolon"_s;
        QTest::newRow("keypad 8 with num lock")
            << int(Qt::Key_8) << int(Qt::KeypadModifier) << u"8"_s << u"kp_uparrow"_s;
        QTest::newRow("non-ASCII key") << int(Qt::Key_Eacute) << none << u"\u00e9"_s << u"waiting"_s;
        QTest::newRow("media key") << int(Qt::Key_VolumeUp) << none << QString() << u"waiting"_s;
        QTest::newRow("escape keeps the box") << int(Qt::Key_Escape) << none << QString() << u"q"_s;
        QTest::newRow("right button") << -int(Qt::RightButton) << none << QString() << u"mouse2"_s;
        QTest::newRow("wheel down") << 0 << -120 << QString() << u"mwheeldown"_s;
    }

    void captureNamesThePress()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QString, name);
        MainWindowHarness h;
        QVERIFY(h.showActive());
        const auto press = [&](QWidget *d) {
            if (key < 0) {
                QTest::mouseClick(d, Qt::MouseButton(-key));
            } else if (key == 0) {
                QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, modifiers), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(d, &wheel);
            } else {
                QTest::sendKeyEvent(QTest::Click, d, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
            }
        };
        QCOMPARE(capture(h, press), name);
    }

    void undoAndRedoWalkEveryKindOfChange()
    {
        MainWindowHarness h;
        const QString name = h.path(u"u.cfg"_s);
        vbu::test::writeAll(name, "one\r\ntwo\r\n");
        h.window->loadScript(name);
        QVERIFY(h.showActive());
        auto *list = h.child<QTreeView>("lstBind");
        list->setFocus();
        h.prompter.answerMessage(Prompter::No);
        QTest::keySequence(list, QKeySequence(u"Ctrl+A"_s)); // Clear All, answered No
        QCOMPARE(h.lines(), (QByteArrayList{"one", "two"}));
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        QCOMPARE(h.prompter.lastMessage(), u"Warning|If you procede, you'll lose all bindings thus far.\r\n\r\nDo you "
                                           "wish to procede?|Yes+No|Yes|Information"_s);
        h.prompter.answerInput(u"ONE"_s);
        h.prompter.answerInput(u"c"_s);
        h.prompter.answerMessage(Prompter::Yes);

        QList<QByteArrayList> states{h.lines()};
        h.child<QLineEdit>("txtBind")->setText(u"+jump"_s);
        h.window->addBinding();
        states.append(h.lines());
        h.window->selectRow(0);
        h.window->editSelectedLine();
        states.append(h.lines());
        // Comment, cut, paste, move down and up, delete, clear all; the comment on top moves the
        // selection down to the edited line.
        for (const char *keys : {"Ctrl+I", "Ctrl+T", "Ctrl+P", "Alt+Down", "Alt+Up", "Ctrl+D", "Ctrl+A"}) {
            QTest::keySequence(list, QKeySequence(QLatin1StringView(keys)));
            states.append(h.lines());
        }
        QVERIFY(h.lines().isEmpty());

        // Back to the start and forward again, twice over, by all the keys for it.
        for (int round = 0; round < 2; ++round) {
            for (qsizetype i = states.size() - 2; i >= 0; --i) {
                QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
                QCOMPARE(h.lines(), states.at(i));
            }
            QVERIFY(!h.action("mnuUndo")->isEnabled());
            for (qsizetype i = 1; i < states.size(); ++i) {
                QVERIFY(h.action("mnuRedo")->isEnabled());
                QTest::keySequence(list, QKeySequence(i % 2 ? u"Ctrl+Y"_s : u"Ctrl+Shift+Z"_s));
                QCOMPARE(h.lines(), states.at(i));
            }
        }
        QCOMPARE(h.window->caption(), name); // neither Clear All nor undo touches the file record

        // Open, New and Close start a fresh history; a line moved past either end is no change.
        h.window->loadScript(name);
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        h.window->selectRow(1);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        h.window->selectRow(0);
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(h.lines(), (QByteArrayList{"one", "two"}));
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        h.window->edits().append("typed");
        h.window->newFile();
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        h.window->loadScript(name);
        h.window->edits().append("typed");
        h.prompter.answerMessage(Prompter::No);
        h.window->closeFile();
        QVERIFY(!h.action("mnuUndo")->isEnabled());
    }

    void droppingALineMovesIt_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("onto");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("between, downwards") << 0 << 2 << -1 << QByteArrayList{"b", "a", "c", "d"};
        QTest::newRow("between, upwards") << 3 << 1 << -1 << QByteArrayList{"a", "d", "b", "c"};
        QTest::newRow("onto a row") << 0 << -1 << 2 << QByteArrayList{"b", "c", "a", "d"};
        QTest::newRow("below the last") << 1 << -1 << -1 << QByteArrayList{"a", "c", "d", "b"};
        QTest::newRow("onto itself") << 1 << -1 << 1 << QByteArrayList{"a", "b", "c", "d"};
    }

    void droppingALineMovesIt()
    {
        QFETCH(int, from);
        QFETCH(int, row);
        QFETCH(int, onto);
        QFETCH(QByteArrayList, lines);
        MainWindowHarness h;
        h.setLines({"a", "b", "c", "d"});
        vbu::ScriptModel &model = h.window->script();
        std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(from)}));
        const QModelIndex parent = onto >= 0 ? model.index(onto) : QModelIndex();
        // The view must not remove the row itself: the move is already made.
        QVERIFY(!model.dropMimeData(dragged.get(), Qt::MoveAction, row, 0, parent));
        QCOMPARE(h.lines(), lines);
        h.action("mnuUndo")->trigger();
        QCOMPARE(h.lines(), (QByteArrayList{"a", "b", "c", "d"}));
    }

    void droppingAFileOpensItAsOpenWould()
    {
        MainWindowHarness h;
        const QString name = h.path(u"dropped.cfg"_s);
        vbu::test::writeAll(name, "bind x \"y\"\r\n");
        QVERIFY(dropOnto(h, QUrl::fromLocalFile(name)));
        QCOMPARE(h.lines(), QByteArrayList{"bind x \"y\""});
        QCOMPARE(h.fileState(), name + u'|' + name + u'|' + name);

        // Only local files are taken; a dropped name that is not there gets Open's message.
        QVERIFY(!dropOnto(h, QUrl(u"https://example.org/a.cfg"_s)));
        h.prompter.answerMessage(Prompter::Ok);
        dropOnto(h, QUrl::fromLocalFile(h.path(u"gone.cfg"_s)));
        QCOMPARE(h.prompter.last().message.text, u"File '"_s + h.path(u"gone.cfg"_s) + u"' could not be found."_s);
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
