#include "gui/editor/ToolbarIcons.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::FakePrompter;
using vbu::test::MainWindowHarness;

namespace {
const QByteArrayList five{"l1", "l2", "l3", "l4", "l5"};
QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}
} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void newEmptiesWithoutAsking()
    {
        MainWindowHarness h;
        const QString name = h.path(u"n.cfg"_s);
        vbu::test::writeAll(name, "a\r\nb\r\n");
        h.prompter.answerFile(name);
        h.window->mnuOpen_Click();
        h.action("mnuNew")->trigger();
        QVERIFY(h.lines().isEmpty());
        QCOMPARE(h.window->caption(), u"Vantor's Bind Utility"_s);
        QVERIFY(h.window->fileName().isEmpty());
        QCOMPARE(h.prompter.asked.size(), 1);
    }

    void clearAllAsksAndKeepsTheFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("yes") << int(Prompter::Yes) << true;
        QTest::newRow("no") << int(Prompter::No) << false;
    }

    void clearAllAsksAndKeepsTheFile()
    {
        QFETCH(int, answer);
        QFETCH(bool, cleared);
        MainWindowHarness h;
        const QString name = h.path(u"c.cfg"_s);
        vbu::test::writeAll(name, "a\r\n");
        h.window->LoadScript(name);
        h.prompter.answerMessage(Prompter::Button(answer));
        h.action("mnuClearAll")->trigger();
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.text, u"If you procede, you'll lose all bindings thus far.\r\n\r\nDo you wish to procede?"_s);
        QCOMPARE(m.title, u"Warning"_s);
        QCOMPARE(m.buttons, Prompter::Yes | Prompter::No);
        QCOMPARE(m.defaultButton, Prompter::Yes);
        QCOMPARE(m.icon, Prompter::Icon::Information);
        QCOMPARE(h.lines().isEmpty(), cleared);
        QCOMPARE(h.window->caption(), name);
    }

    void clipboardCommandsActOnTheSelectedLine_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("clipboard");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("copy first") << u"mnuCopy"_s << 0 << five << QByteArray("l1") << 0;
        QTest::newRow("cut first") << u"mnuCut"_s << 0 << QByteArrayList{"l2", "l3", "l4", "l5"} << QByteArray("l1")
                                   << 0;
        QTest::newRow("cut middle") << u"mnuCut"_s << 2 << QByteArrayList{"l1", "l2", "l4", "l5"} << QByteArray("l3")
                                    << 2;
        QTest::newRow("cut last") << u"mnuCut"_s << 4 << QByteArrayList{"l1", "l2", "l3", "l4"} << QByteArray("l5")
                                  << 3;
        QTest::newRow("delete middle") << u"mnuDelete"_s << 1 << QByteArrayList{"l1", "l3", "l4", "l5"}
                                       << QByteArray("before") << 1;
        QTest::newRow("delete last") << u"mnuDelete"_s << 4 << QByteArrayList{"l1", "l2", "l3", "l4"}
                                     << QByteArray("before") << 3;
        QTest::newRow("paste first") << u"mnuPaste"_s << 0 << QByteArrayList{"before", "l1", "l2", "l3", "l4", "l5"}
                                     << QByteArray("before") << 1;
        QTest::newRow("paste last") << u"mnuPaste"_s << 4 << QByteArrayList{"l1", "l2", "l3", "l4", "before", "l5"}
                                    << QByteArray("before") << 5;
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
        ::clipboard()->setText(u"before"_s);
        h.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(h.lines(), lines);
        QCOMPARE(::clipboard()->text().toLatin1(), clipboard);
        QCOMPARE(h.window->selectedRow(), selectedAfter);
        QCOMPARE(h.prompter.asked.size(), 0);
    }

    void withoutSelectionNothingChangesButTheClipboardEmpties_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("clipboardEmptied");
        QTest::newRow("copy") << u"mnuCopy"_s << true;
        QTest::newRow("cut") << u"mnuCut"_s << true;
        QTest::newRow("paste") << u"mnuPaste"_s << false;
        QTest::newRow("delete") << u"mnuDelete"_s << false;
    }

    void withoutSelectionNothingChangesButTheClipboardEmpties()
    {
        QFETCH(QString, command);
        QFETCH(bool, clipboardEmptied);
        MainWindowHarness h;
        h.setLines({"a", "b"});
        ::clipboard()->setText(u"held"_s);
        h.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(h.lines(), (QByteArrayList{"a", "b"}));
        QCOMPARE(::clipboard()->text().isEmpty(), clipboardEmptied);
    }

    void highBytesSurviveCopyThenPaste()
    {
        MainWindowHarness h;
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        h.setLines({all, "x"});
        h.window->selectRow(0);
        h.window->mnuCopy_Click();
        QCOMPARE(::clipboard()->text().size(), 255); // one character a byte, no line end added
        h.window->selectRow(1);
        h.window->mnuPaste_Click();
        QCOMPARE(h.lines(), (QByteArrayList{all, all, "x"}));
    }

    void pasteKeepsLineBreaksInOneLine()
    {
        MainWindowHarness h;
        h.setLines({"a"});
        h.window->selectRow(0);
        ::clipboard()->setText(u"two\nlines"_s);
        h.window->mnuPaste_Click();
        ::clipboard()->clear();
        h.window->mnuPaste_Click(); // nothing on the clipboard: an empty line
        QCOMPARE(h.lines(), (QByteArrayList{"two\nlines", "", "a"}));
    }

    void pastingThreeTimesStacksAboveTheSelection()
    {
        MainWindowHarness h;
        h.setLines({"1", "2", "3", "4", "5", "6"});
        h.window->selectRow(4);
        for (const QString &t : {u"p1"_s, u"p2"_s, u"p3"_s}) {
            ::clipboard()->setText(t);
            h.window->mnuPaste_Click();
        }
        QCOMPARE(h.lines(), (QByteArrayList{"1", "2", "3", "4", "p1", "p2", "p3", "5", "6"}));
        QCOMPARE(h.window->selectedRow(), 7);
    }

    void pasteOfTextWithoutBytesIsRefused()
    {
        MainWindowHarness h;
        h.setLines({"a"});
        h.window->selectRow(0);
        ::clipboard()->setText(u"\u263a"_s);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->mnuPaste_Click();
        QCOMPARE(h.prompter.asked.size(), 1);
        QCOMPARE(h.lines(), QByteArrayList{"a"});
    }

    void insertCommentGoesOnTop_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("proposed") << u"Created by : Vantor's Bind Utility"_s
                                  << QByteArrayList{"//Created by : Vantor's Bind Utility", "a", "b"};
        QTest::newRow("leading blanks kept") << u"  note"_s << QByteArrayList{"//  note", "a", "b"};
        QTest::newRow("cancelled") << QString() << QByteArrayList{"a", "b"};
    }

    void insertCommentGoesOnTop()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArrayList, lines);
        MainWindowHarness h;
        h.setLines({"a", "b"});
        h.window->selectRow(1);
        h.prompter.answerInput(answer);
        h.action("mnuInsertC")->trigger();
        const auto &asked = h.prompter.last();
        QCOMPARE(asked.prompt, u"Please type your comment message"_s);
        QCOMPARE(asked.title, u"Insert Comment"_s);
        QCOMPARE(asked.proposed, u"Created by : Vantor's Bind Utility"_s);
        QCOMPARE(h.lines(), lines);
    }

    void toolbarHoldsSeventeenButtonsInOrder()
    {
        MainWindowHarness h;
        const QStringList keys{u"New"_s,     u"Open"_s, u"Save"_s,   {},          u"Copy"_s, u"Cut"_s,
                               u"Paste"_s,   {},        u"Delete"_s, u"Insert"_s, {},        u"CmdList"_s,
                               u"FunName"_s, {},        u"About"_s,  {},          u"Exit"_s};
        const QStringList tips{u"New"_s,
                               u"Open"_s,
                               u"Save"_s,
                               {},
                               u"Copy"_s,
                               u"Cut"_s,
                               u"Paste"_s,
                               {},
                               u"Delete"_s,
                               u"Insert Comment"_s,
                               {},
                               u"Commands List"_s,
                               u"Fun Name Editor"_s,
                               {},
                               {},
                               {},
                               {}};
        auto *bar = h.window->findChild<QToolBar *>(u"Toolbar1"_s);
        QCOMPARE(bar->actions().size(), 17);
        for (int i = 1; i <= 17; ++i) {
            QAction *b = h.window->toolbarButton(i);
            QCOMPARE(bar->actions().at(i - 1), b);
            QCOMPARE(b->isSeparator(), keys.at(i - 1).isEmpty());
            if (b->isSeparator())
                continue;
            QCOMPARE(b->data().toString(), keys.at(i - 1));
            if (!tips.at(i - 1).isEmpty())
                QCOMPARE(b->toolTip(), tips.at(i - 1));
            QCOMPARE(b->isCheckable(), i == 12 || i == 13);
            QVERIFY(!b->icon().isNull());
            QVERIFY(!b->icon().pixmap(16, 16).isNull());
        }
        QVERIFY(!h.window->toolbarButton(12)->isChecked());
        QVERIFY(!h.window->toolbarButton(13)->isChecked());
    }

    void ourOwnIconsExistForEveryImage()
    {
        for (const QString &key : {u"New"_s, u"Open"_s, u"Save"_s, u"Copy"_s, u"Cut"_s, u"Paste"_s, u"Delete"_s,
                                   u"Insert"_s, u"cmdList"_s, u"FunName"_s, u"About"_s, u"Exit"_s}) {
            const QImage image = vbu::ToolbarIcons::drawn(key).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            int opaque = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > 10, qPrintable(key));
        }
        QVERIFY(vbu::ToolbarIcons::drawn(u"cmdlist"_s).isNull());
    }

    void toolbarDispatchesByExactKey()
    {
        MainWindowHarness h;
        h.setLines({"a", "b"});
        h.window->selectRow(0);
        h.window->toolbarButton(9)->trigger(); // Delete
        QCOMPARE(h.lines(), QByteArrayList{"b"});
        h.window->Toolbar1_ButtonClick(u"delete"_s);
        h.window->Toolbar1_ButtonClick(u"Nothing"_s);
        QCOMPARE(h.lines(), QByteArrayList{"b"});
        h.prompter.answerInput(u"hello"_s);
        h.window->toolbarButton(10)->trigger(); // Insert Comment
        QCOMPARE(h.lines(), (QByteArrayList{"//hello", "b"}));
        h.window->toolbarButton(1)->trigger(); // New
        QVERIFY(h.lines().isEmpty());
        h.prompter.answerFile({});
        h.window->toolbarButton(2)->trigger(); // Open
        QCOMPARE(h.prompter.last().request.title, u"Open"_s);
        h.prompter.answerFile({});
        h.window->toolbarButton(3)->trigger(); // Save
        QCOMPARE(h.prompter.last().request.title, u"Save"_s);
        QCOMPARE(h.prompter.unexpected, 0);
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
