#include "core/app/MruList.h"
#include "core/editor/ScriptEdits.h"
#include "gui/editor/CheckReportWindow.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::FakePrompter;
using vbu::test::MainWindowHarness;
using vbu::test::readAll;
using vbu::test::writeAll;

namespace {
const QString noFile = u"Vantor's Bind Utility"_s;
const QString filter = u"Quake Config Files (*.cfg)|*.cfg|Quake Script Files (*.scr)|*.scr|All Files (*.*)|*.*"_s;
// What the game writes (a line a key, the comma key among them) and a player's own line.
const QByteArray gameConfig = "bind \",\" \"+moveleft\"\r\n\r\nbind F1 \"say gg, wp\"\r\nbind w \"+forward\"\n";

// "LINE>ROW: ITEM" for each marked row: the line of the file it came from, its place in the
// list from 1, and its text.
QByteArray marksOf(const MainWindowHarness &h)
{
    const vbu::ScriptModel &script = h.window->script();
    QByteArray out;
    for (int row = 0; row < script.rowCount(); ++row) {
        const QModelIndex index = script.index(row);
        if (!index.data(vbu::ScriptModel::OpenChangedRole).toBool())
            continue;
        const auto &entry = script.marks().entry(script.marks().markOf(row));
        out += QByteArray::number(entry.line) + '>' + QByteArray::number(row + 1) + ": " + script.line(row) + '\n';
        if (index.data(Qt::ToolTipRole).toString().isEmpty())
            out += "(no tool tip)\n";
    }
    return out;
}
} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    void openAsksWithTheSharedDialogSettings()
    {
        MainWindowHarness h;
        const QString first = h.path(u"first.cfg"_s);
        writeAll(first, "a\r\n");
        h.prompter.answerFile(first);
        h.window->open();
        const auto &request = h.prompter.asked.at(0).request;
        QCOMPARE(request.save, false);
        QCOMPARE(request.title, u"Open"_s);
        QCOMPARE(request.filter, filter);
        QCOMPARE(request.defaultSuffix, u"cfg"_s);
        QVERIFY(request.fileName.isEmpty());
        // The name chosen last is offered again, whichever command asks.
        h.prompter.answerFile({});
        h.window->saveAs();
        QCOMPARE(h.prompter.last().request.title, u"Save As"_s);
        QCOMPARE(h.prompter.last().request.save, true);
        QCOMPARE(h.prompter.last().request.fileName, first);
        QCOMPARE(h.prompter.last().request.filter, filter);
    }

    void openLoadsFieldsAndReplacesTheList()
    {
        MainWindowHarness h;
        h.setLines({"unsaved"});
        const QString name = h.path(u"x.cfg"_s);
        writeAll(name, "bind w \"+forward\"\r\necho a, b\r\n\r\n  \"quoted\"\nlast");
        h.prompter.answerFile(name);
        h.window->open();
        QCOMPARE(h.prompter.asked.size(), 1);
        QCOMPARE(h.lines(), (QByteArrayList{"bind w \"+forward\"", "echo a", "b", "", "quoted", "last"}));
        QCOMPARE(h.window->caption(), name);
        QCOMPARE(h.window->fileName(), name);
        QCOMPARE(h.window->recentFiles().files(), QStringList{name});
        // A file of no bytes empties the list.
        writeAll(name, {});
        h.window->loadScript(name);
        QVERIFY(h.lines().isEmpty());
        QCOMPARE(h.window->caption(), name);
    }

    void cancelledDialogsChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("open") << u"mnuOpen"_s;
        QTest::newRow("save") << u"mnuSave"_s;
        QTest::newRow("save as") << u"mnuSaveAs"_s;
    }

    void cancelledDialogsChangeNothing()
    {
        QFETCH(QString, command);
        MainWindowHarness h;
        h.setLines({"line"});
        h.prompter.answerFile({});
        h.window->findChild<QAction *>(command)->trigger();
        QCOMPARE(h.prompter.asked.size(), 1);
        QCOMPARE(h.lines(), QByteArrayList{"line"});
        QCOMPARE(h.window->caption(), noFile);
        QVERIFY(h.window->fileName().isEmpty());
        QVERIFY(QDir(h.dir.path()).isEmpty());
    }

    void corpusThroughTheWindow_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : vbu::test::corpusFiles())
            QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }

    // Open marks the rows of the lines it changes, as reviewed once. Open Exactly (its shortcut)
    // drops the marks, and Save then writes the file back byte for byte but for its line ends.
    void corpusThroughTheWindow()
    {
        QFETCH(QString, path);
        const QString fileName = QFileInfo(path).fileName();
        MainWindowHarness h;
        QVERIFY(h.showActive());
        const QString name = h.path(fileName);
        QVERIFY(QFile::copy(path, name));
        h.prompter.answerFile(name);
        h.action("mnuOpen")->trigger();
        QCOMPARE(marksOf(h), readAll(vbu::test::dataPath(u"exact/"_s + fileName + u".marks"_s)));
        h.prompter.answerFile(name);
        QTest::keyClick(h.window.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.prompter.asked.size(), 2);
        QCOMPARE(h.prompter.last().request.title, u"Open Exactly"_s);
        QCOMPARE(h.prompter.last().request.filter, filter);
        QCOMPARE(marksOf(h), QByteArray());
        h.action("mnuSave")->trigger();
        QCOMPARE(h.prompter.asked.size(), 2);
        QCOMPARE(readAll(name), vbu::test::withCrLf(readAll(path)));
        QCOMPARE(h.window->caption(), name);
        QCOMPARE(h.window->recentFiles().files(), QStringList{name});
    }

    // vbu --exact FILE takes the command line's steps but keeps every line; its recent-file
    // entry opens the file as Open does, with the marks, which the check report names and edits
    // carry along.
    void exactCommandLineThenTheRecentEntry()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"game config.cfg"_s);
        writeAll(name, gameConfig);
        MainWindowHarness h(QStringList{u"--exact"_s, name});
        QCOMPARE(h.lines(),
                 (QByteArrayList{"bind \",\" \"+moveleft\"", "", "bind F1 \"say gg, wp\"", "bind w \"+forward\""}));
        QCOMPARE(h.window->caption(), name);
        QCOMPARE(h.window->fileName(), name);
        QCOMPARE(h.window->recentFiles().files(), QStringList{name});
        QCOMPARE(marksOf(h), QByteArray());

        h.action("mnuFileMRU1")->trigger();
        QCOMPARE(h.lines(),
                 (QByteArrayList{"bind \"", " +moveleft\"", "", "bind F1 \"say gg", "wp\"", "bind w \"+forward\""}));
        const QByteArray marks = "1>1: bind \"\n1>2:  +moveleft\"\n3>4: bind F1 \"say gg\n3>5: wp\"\n";
        QCOMPARE(marksOf(h), marks);
        h.action("mnuCheckScript")->trigger();
        QList<qsizetype> warned;
        for (const vbu::CheckFinding &f : h.window->checkReport()->findings()) {
            if (f.text == u"Open reads this line as 2 items; saving them writes 2 lines (use Open Exactly)"_s)
                warned.append(f.line);
        }
        QCOMPARE(warned, (QList<qsizetype>{1, 2, 4, 5}));

        // A mark stays with its row; a replaced text loses it; undo gives it back.
        h.window->selectRow(0);
        h.action("mnuDelete")->trigger();
        h.window->edits().replace(0, "+moveright");
        QCOMPARE(marksOf(h), "3>3: bind F1 \"say gg\n3>4: wp\"\n"_ba);
        h.action("mnuUndo")->trigger();
        h.action("mnuUndo")->trigger();
        QCOMPARE(marksOf(h), marks);
        // They go with the list, and an undone Clear All brings them back with it.
        h.prompter.answerMessage(Prompter::Yes);
        h.action("mnuClearAll")->trigger();
        QCOMPARE(marksOf(h), QByteArray());
        h.action("mnuUndo")->trigger();
        QCOMPARE(marksOf(h), marks);
        h.action("mnuNew")->trigger();
        QCOMPARE(marksOf(h), QByteArray());
    }

    void missingFileIsReportedAndLeavesTheRecentFiles()
    {
        MainWindowHarness h;
        const QString name = h.path(u"gone.cfg"_s);
        writeAll(name, "x\r\n");
        h.window->loadScript(name);
        h.window->recentFiles().addFile(h.path(u"other.cfg"_s));
        QVERIFY(QFile::remove(name));
        h.setLines({"unsaved"});
        h.prompter.answerMessage(Prompter::Ok);
        h.action("mnuFileMRU2")->trigger();
        QCOMPARE(h.prompter.asked.size(), 1);
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.text, u"File '"_s + name + u"' could not be found."_s);
        QCOMPARE(m.title, u"Error Opening File"_s);
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(h.window->recentFiles().files(), QStringList{h.path(u"other.cfg"_s)});
        QVERIFY(!h.action("mnuFileMRU2")->isVisible());
        QCOMPARE(h.lines(), QByteArrayList{"unsaved"});
        QCOMPARE(h.window->caption(), name);
    }

    void unreadableFileIsReportedAndChangesNothing()
    {
        // A file that opens but fails to read: the kernel refuses reads of this one.
        const QString broken = u"/proc/self/mem"_s;
        if (!QFileInfo(broken).isFile())
            QSKIP("no file here that fails to read");
        MainWindowHarness h;
        h.setLines({"keep"});
        h.prompter.answerMessage(Prompter::Ok);
        h.window->loadScript(broken);
        QCOMPARE(h.prompter.asked.size(), 1);
        QVERIFY(h.prompter.last().message.text.startsWith(u"File '/proc/self/mem' could not be read."_s));
        QCOMPARE(h.prompter.last().message.title, u"Error Opening File"_s);
        QCOMPARE(h.lines(), QByteArrayList{"keep"});
        QCOMPARE(h.window->caption(), noFile);
    }

    void recentEntryLoadsWithoutTouchingTheWorkingName()
    {
        MainWindowHarness h;
        const QString a = h.path(u"a.cfg"_s);
        const QString b = h.path(u"R&D.cfg"_s);
        writeAll(a, "from a\r\n");
        writeAll(b, "from b\r\n");
        h.prompter.answerFile(a);
        h.window->open();
        h.window->loadScript(b);
        QCOMPARE(h.window->recentFiles().files(), (QStringList{b, a}));
        // Numbered, most recent first; an ampersand in a name is no access key.
        QCOMPARE(h.action("mnuFileMRU1")->text(), u"&1 "_s + h.path(u"R&&D.cfg"_s));
        QCOMPARE(h.action("mnuFileMRU2")->text(), u"&2 "_s + a);
        QVERIFY(!h.action("mnuFileMRU3")->isVisible());
        h.action("mnuFileMRU2")->trigger();
        QCOMPARE(h.lines(), QByteArrayList{"from a"});
        QCOMPARE(h.window->caption(), a);
        QCOMPARE(h.window->fileName(), a);
        QCOMPARE(h.window->recentFiles().files(), (QStringList{a, b}));
        QCOMPARE(h.prompter.asked.size(), 1);
    }

    void saveWithoutAFileAsksForAName()
    {
        MainWindowHarness h;
        h.setLines({"bind w \"+forward\"", "//Created by : Vantor's Bind Utility", "", "name \"\xff\x80\""});
        const QString name = h.path(u"new.cfg"_s);
        h.prompter.answerFile(name);
        h.window->save();
        QCOMPARE(h.prompter.asked.size(), 1);
        QCOMPARE(h.prompter.last().request.title, u"Save"_s);
        QCOMPARE(h.prompter.last().request.save, true);
        QCOMPARE(
            readAll(name),
            QByteArray("bind w \"+forward\"\r\n//Created by : Vantor's Bind Utility\r\n\r\nname \"\xff\x80\"\r\n"));
        QCOMPARE(h.window->caption(), name);
        QCOMPARE(h.window->fileName(), name);
        QCOMPARE(h.window->recentFiles().files(), QStringList{name});
        // With a current file, Save rewrites it without asking; Save As always asks.
        h.prompter.answerMessage(Prompter::Yes);
        h.window->clearAll();
        h.window->script().append("two");
        h.window->save();
        QCOMPARE(h.prompter.asked.size(), 2);
        QCOMPARE(readAll(name), QByteArray("two\r\n"));
        const QString second = h.path(u"second.scr"_s);
        h.prompter.answerFile(second);
        h.window->saveAs();
        QCOMPARE(h.prompter.last().request.title, u"Save As"_s);
        QCOMPARE(readAll(second), QByteArray("two\r\n"));
        QCOMPARE(h.window->caption(), second);
        QCOMPARE(h.window->recentFiles().files(), (QStringList{second, name}));
        // New forgets the file; what was saved comes back as it was composed.
        h.window->newFile();
        QCOMPARE(h.window->caption(), noFile);
        QVERIFY(h.window->fileName().isEmpty());
        h.window->loadScript(name);
        QCOMPARE(h.lines(), QByteArrayList{"two"});
    }

    void progressClimbsToNOfNPlusOneAndEmpties()
    {
        MainWindowHarness h;
        QByteArrayList lines;
        for (int i = 0; i < 10000; ++i)
            lines.append("bind x \"" + QByteArray::number(i) + '"');
        h.setLines(lines);
        auto *bar = h.child<QProgressBar>("Progress");
        QSignalSpy values(bar, &QProgressBar::valueChanged);
        h.prompter.answerFile(h.path(u"p.cfg"_s));
        h.window->save();
        QCOMPARE(bar->maximum(), 10001);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->value(), 0);
        QVERIFY(values.size() >= 3);
        int highest = 0;
        int previous = 0;
        for (int i = 0; i + 1 < values.size(); ++i) {
            const int v = values.at(i).at(0).toInt();
            QVERIFY(v >= previous);
            previous = v;
            highest = qMax(highest, v);
        }
        QCOMPARE(highest, 10000);
        QCOMPARE(values.constLast().at(0).toInt(), 0);
    }

    void failedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder missing") << u"no/such/folder/x.cfg"_s;
        QTest::newRow("name is a folder") << u"sub"_s;
    }

    void failedWriteKeepsEverything()
    {
        QFETCH(QString, target);
        MainWindowHarness h;
        QVERIFY(QDir(h.dir.path()).mkdir(u"sub"_s));
        const QString current = h.path(u"current.cfg"_s);
        writeAll(current, "on disk\r\n");
        h.prompter.answerFile(current);
        h.window->open();
        h.window->script().append("new line");
        const QString bad = h.path(target);
        h.prompter.answerFile(bad);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->saveAs();
        QCOMPARE(h.prompter.asked.size(), 3);
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.title, u"Error Saving File"_s);
        QVERIFY2(m.text.startsWith(u"File '"_s + bad + u"' was not written."_s), qPrintable(m.text));
        QVERIFY(m.text.size() > (u"File '"_s + bad + u"' was not written.\r\n"_s).size()); // says why
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(h.lines(), (QByteArrayList{"on disk", "new line"}));
        QCOMPARE(h.window->caption(), current);
        QCOMPARE(h.window->fileName(), current);
        QCOMPARE(h.child<QProgressBar>("Progress")->value(), 0);
        QCOMPARE(readAll(current), QByteArray("on disk\r\n"));
        QCOMPARE(h.window->recentFiles().files(), QStringList{current});
        // The same through Save without a current file: the working name stays empty.
        h.window->newFile();
        h.prompter.answerFile(bad);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->save();
        QCOMPARE(h.prompter.last().message.title, u"Error Saving File"_s);
        QVERIFY(h.window->fileName().isEmpty());
        QCOMPARE(h.window->caption(), noFile);
    }

    void closeFollowsTheAnswer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("yes") << int(Prompter::Yes) << true << QByteArray("old\r\nadded\r\n");
        QTest::newRow("no") << int(Prompter::No) << true << QByteArray("old\r\n");
        QTest::newRow("cancel") << int(Prompter::Cancel) << false << QByteArray("old\r\n");
    }

    void closeFollowsTheAnswer()
    {
        QFETCH(int, answer);
        QFETCH(bool, cleared);
        QFETCH(QByteArray, onDisk);
        MainWindowHarness h;
        h.setLines({"x"});
        h.window->closeFile(); // no current file: nothing to close
        QCOMPARE(h.lines(), QByteArrayList{"x"});
        const QString name = h.path(u"c.cfg"_s);
        writeAll(name, "old\r\n");
        h.prompter.answerFile(name);
        h.window->open();
        h.window->script().append("added");
        h.prompter.answerMessage(Prompter::Button(answer));
        h.window->closeFile();
        QCOMPARE(h.prompter.asked.size(), 2);
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.text, u"Do you want to save first?"_s);
        QCOMPARE(m.title, u"Close File"_s);
        QCOMPARE(m.buttons, Prompter::Yes | Prompter::No | Prompter::Cancel);
        QCOMPARE(m.defaultButton, Prompter::Yes);
        QCOMPARE(m.icon, Prompter::Icon::Question);
        QCOMPARE(readAll(name), onDisk);
        QCOMPARE(h.lines().isEmpty(), cleared);
        QCOMPARE(h.window->caption(), cleared ? noFile : name);
        QCOMPARE(h.window->fileName(), name); // Close leaves the working name
        if (cleared) {
            // The next Save asks for a name again.
            h.prompter.answerFile({});
            h.window->save();
            QCOMPARE(h.prompter.last().kind, FakePrompter::Asked::FileDialog);
        }
    }

    void closeKeepsTheListWhenTheSaveFails()
    {
        MainWindowHarness h;
        const QString name = h.path(u"vanishing/c.cfg"_s);
        QVERIFY(QDir(h.dir.path()).mkdir(u"vanishing"_s));
        writeAll(name, "old\r\n");
        h.window->loadScript(name);
        QVERIFY(QDir(h.path(u"vanishing"_s)).removeRecursively());
        h.prompter.answerMessage(Prompter::Yes);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->closeFile();
        QCOMPARE(h.prompter.asked.size(), 2);
        QCOMPARE(h.prompter.last().message.title, u"Error Saving File"_s);
        QCOMPARE(h.lines(), QByteArrayList{"old"});
        QCOMPARE(h.window->caption(), name);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
