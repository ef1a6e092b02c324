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
using vbu::test::MainWindowHarness;
using vbu::test::readAll;
using vbu::test::writeAll;

namespace {
const QString noFile = u"Vantor's Bind Utility"_s;
const QString filter = u"Quake Config Files (*.cfg)|*.cfg|Quake Script Files (*.scr)|*.scr|All Files (*.*)|*.*"_s;

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

// "title|save|filter|suffix|offered name" of the last file dialog.
QString lastDialog(const MainWindowHarness &h)
{
    if (h.prompter.asked.isEmpty() || h.prompter.last().kind != vbu::test::FakePrompter::Asked::FileDialog)
        return u"no file dialog"_s;
    const Prompter::FileRequest &r = h.prompter.last().request;
    return QStringList{r.title, r.save ? u"save"_s : u"open"_s, r.filter, r.defaultSuffix, r.fileName}.join(u'|');
}
} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    void openAsksThenLoadsFieldsAndReplacesTheList()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"unsaved"});
        const QString name = h.path(u"x.cfg"_s);
        writeAll(name, "bind w \"+forward\"\r\necho a, b\r\n\r\n  \"quoted\"\nlast");
        h.prompter.answerFile(name);
        QTest::keyClick(h.window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(lastDialog(h), u"Open|open|"_s + filter + u"|cfg|"_s);
        QCOMPARE(h.lines(), (QByteArrayList{"bind w \"+forward\"", "echo a", "b", "", "quoted", "last"}));
        QCOMPARE(h.fileState(), name + u'|' + name + u'|' + name);
        // The name chosen last is offered again, whichever command asks.
        h.prompter.answerFile({});
        h.action("mnuSaveAs")->trigger();
        QCOMPARE(lastDialog(h), u"Save As|save|"_s + filter + u"|cfg|"_s + name);
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
        QCOMPARE(h.lines(), QByteArrayList{"line"});
        QCOMPARE(h.fileState(), noFile + u"||"_s);
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
        QCOMPARE(lastDialog(h), u"Open Exactly|open|"_s + filter + u"|cfg|"_s + name);
        QCOMPARE(marksOf(h), QByteArray());
        h.action("mnuSave")->trigger();
        QCOMPARE(readAll(name), vbu::test::withCrLf(readAll(path)));
        QCOMPARE(h.fileState(), name + u'|' + name + u'|' + name);
    }

    // vbu --exact FILE takes the command line's steps but keeps every line; its recent-file
    // entry opens the file as Open does, with the marks, which edits carry along.
    void exactCommandLineThenTheRecentEntry()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"game config.cfg"_s);
        // What the game writes (a line a key, the comma key among them) and a player's own line.
        writeAll(name, "bind \",\" \"+moveleft\"\r\n\r\nbind F1 \"say gg, wp\"\r\nbind w \"+forward\"\n");
        MainWindowHarness h(QStringList{u"--exact"_s, name});
        QCOMPARE(h.lines(),
                 (QByteArrayList{"bind \",\" \"+moveleft\"", "", "bind F1 \"say gg, wp\"", "bind w \"+forward\""}));
        QCOMPARE(h.fileState(), name + u'|' + name + u'|' + name);

        h.action("mnuFileMRU1")->trigger();
        const QByteArray marks = "1>1: bind \"\n1>2:  +moveleft\"\n3>4: bind F1 \"say gg\n3>5: wp\"\n";
        QCOMPARE(marksOf(h), marks);
        h.action("mnuCheckScript")->trigger();
        QTRY_VERIFY(!h.window->checkReport()->isChecking());
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
    }

    void missingOrUnreadableFileIsReported()
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
        QCOMPARE(h.prompter.lastMessage(),
                 u"Error Opening File|File '"_s + name + u"' could not be found.|Ok|Ok|Critical"_s);
        QCOMPARE(h.fileState(), name + u'|' + u'|' + h.path(u"other.cfg"_s));
        QVERIFY(!h.action("mnuFileMRU2")->isVisible());
        QCOMPARE(h.lines(), QByteArrayList{"unsaved"});

        // A file that opens but fails to read: the kernel refuses reads of this one.
        const QString broken = u"/proc/self/mem"_s;
        if (!QFileInfo(broken).isFile())
            QSKIP("no file here that fails to read");
        h.prompter.answerMessage(Prompter::Ok);
        h.window->loadScript(broken);
        QVERIFY(h.prompter.last().message.text.startsWith(u"File '/proc/self/mem' could not be read."_s));
        QCOMPARE(h.prompter.last().message.title, u"Error Opening File"_s);
        QCOMPARE(h.lines(), QByteArrayList{"unsaved"});
        QCOMPARE(h.window->caption(), name);
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
        // Numbered, most recent first; an ampersand in a name is no access key.
        QCOMPARE(h.action("mnuFileMRU1")->text(), u"&1 "_s + h.path(u"R&&D.cfg"_s));
        QCOMPARE(h.action("mnuFileMRU2")->text(), u"&2 "_s + a);
        QVERIFY(!h.action("mnuFileMRU3")->isVisible());
        h.action("mnuFileMRU2")->trigger();
        QCOMPARE(h.lines(), QByteArrayList{"from a"});
        QCOMPARE(h.fileState(), a + u'|' + a + u'|' + a + u',' + b);
    }

    void saveWithoutAFileAsksForAName()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"bind w \"+forward\"", "", "name \"\xff\x80\""});
        const QString name = h.path(u"new.cfg"_s);
        h.prompter.answerFile(name);
        QTest::keyClick(h.window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(lastDialog(h), u"Save|save|"_s + filter + u"|cfg|"_s);
        QCOMPARE(readAll(name), QByteArray("bind w \"+forward\"\r\n\r\nname \"\xff\x80\"\r\n"));
        QCOMPARE(h.fileState(), name + u'|' + name + u'|' + name);
        // With a current file, Save rewrites it without asking; Save As always asks.
        h.setLines({"two"});
        h.action("mnuSave")->trigger();
        QCOMPARE(readAll(name), QByteArray("two\r\n"));
        const QString second = h.path(u"second.scr"_s);
        h.prompter.answerFile(second);
        h.action("mnuSaveAs")->trigger();
        QCOMPARE(readAll(second), QByteArray("two\r\n"));
        QCOMPARE(h.fileState(), second + u'|' + second + u'|' + second + u',' + name);
        // New forgets the file.
        QTest::keyClick(h.window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(h.fileState(), noFile + u'|' + u'|' + second + u',' + name);
    }

    void progressClimbsToNOfNPlusOneAndEmpties()
    {
        MainWindowHarness h;
        h.setLines(QByteArrayList(10000, "bind x \"y\""));
        auto *bar = h.child<QProgressBar>("Progress");
        QSignalSpy values(bar, &QProgressBar::valueChanged);
        h.prompter.answerFile(h.path(u"p.cfg"_s));
        h.window->save();
        QCOMPARE(bar->maximum(), 10001);
        QCOMPARE(bar->value(), 0);
        int previous = 0;
        for (int i = 0; i + 1 < values.size(); ++i) {
            QVERIFY(values.at(i).at(0).toInt() >= previous);
            previous = values.at(i).at(0).toInt();
        }
        QCOMPARE(previous, 10000);
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
        h.window->loadScript(current);
        h.window->script().append("new line");
        const QString bad = h.path(target);
        h.prompter.answerFile(bad);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->saveAs();
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.title, u"Error Saving File"_s);
        QVERIFY2(m.text.startsWith(u"File '"_s + bad + u"' was not written.\r\n"_s), qPrintable(m.text));
        QVERIFY(m.text.size() > (u"File '"_s + bad + u"' was not written.\r\n"_s).size()); // says why
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(h.lines(), (QByteArrayList{"on disk", "new line"}));
        QCOMPARE(h.fileState(), current + u'|' + u'|' + current);
        QCOMPARE(readAll(current), QByteArray("on disk\r\n"));
        // The same through Save with a name of the last Open: the working name stays.
        h.prompter.answerFile(current);
        h.window->open();
        h.window->newFile();
        h.prompter.answerFile(bad);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->save();
        QCOMPARE(h.prompter.last().message.title, u"Error Saving File"_s);
        QCOMPARE(h.fileState(), noFile + u'|' + u'|' + current);
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
        QVERIFY(h.showActive());
        h.setLines({"x"});
        h.window->closeFile(); // no current file: nothing to close
        QCOMPARE(h.lines(), QByteArrayList{"x"});
        const QString name = h.path(u"c.cfg"_s);
        writeAll(name, "old\r\n");
        h.prompter.answerFile(name);
        h.window->open();
        h.window->script().append("added");
        h.prompter.answerMessage(Prompter::Button(answer));
        QTest::keyClick(h.window.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(h.prompter.lastMessage(), u"Close File|Do you want to save first?|Yes+No+Cancel|Yes|Question"_s);
        QCOMPARE(readAll(name), onDisk);
        QCOMPARE(h.lines().isEmpty(), cleared);
        // Close leaves the working name; the next Save asks for a name again.
        QCOMPARE(h.fileState(), (cleared ? noFile : name) + u'|' + name + u'|' + name);
        if (cleared) {
            h.prompter.answerFile({});
            h.window->save();
            QCOMPARE(h.prompter.last().kind, vbu::test::FakePrompter::Asked::FileDialog);
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
        QCOMPARE(h.prompter.last().message.title, u"Error Saving File"_s);
        QCOMPARE(h.lines(), QByteArrayList{"old"});
        QCOMPARE(h.window->caption(), name);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
