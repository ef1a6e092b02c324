#include "core/editor/ScriptChecker.h"
#include "core/editor/ScriptEdits.h"
#include "gui/editor/CheckFindingsModel.h"
#include "gui/editor/CheckReportWindow.h"
#include "gui/editor/ScriptLineDelegate.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckGame;
using vbu::CheckSeverity;
using vbu::ScriptChecker;
using vbu::test::MainWindowHarness;

Q_DECLARE_METATYPE(vbu::CheckGame)

namespace {

// Something for every game to find, some of it for one game only.
const QByteArrayList mixedScript{
    "bind a +attack", "bind a +jump",  "set fov 90",  "bind KP_ENTER x",
    "// note; quit",  "name \"a\"b\"", "bind ` kill", "bind w +forward",
};

QList<CheckFinding> engine(const QByteArrayList &lines, CheckGame game)
{
    return ScriptChecker::check(QList<QByteArray>(lines), game);
}

vbu::ScriptLineDelegate *delegateOf(const MainWindowHarness &h)
{
    return qobject_cast<vbu::ScriptLineDelegate *>(h.window->lstBind()->itemDelegate());
}

QList<QWidget *> reportWindows()
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "frmCheck"_L1)
            found.append(w);
    }
    return found;
}

vbu::CheckReportWindow *openReport(const MainWindowHarness &h)
{
    h.action("mnuCheckScript")->trigger();
    return h.window->checkReport();
}

// The report's rows as the user reads them.
QStringList shownRows(const vbu::CheckReportWindow &report)
{
    const QAbstractItemModel *model = report.lstFindings()->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells.append(model->index(r, c).data().toString());
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QStringList expectedRows(const QList<CheckFinding> &findings)
{
    QStringList rows;
    for (const CheckFinding &f : findings) {
        rows.append(QString::number(f.line) + u'|' + (f.severity == CheckSeverity::Error ? u"Error"_s : u"Warning"_s) +
                    u'|' + f.text + u'|' + (f.otherLine > 0 ? QString::number(f.otherLine) : QString()));
    }
    return rows;
}

// The worst severity of each line, as the marks must show it.
QMap<qsizetype, CheckSeverity> worstByRow(const QList<CheckFinding> &findings)
{
    QMap<qsizetype, CheckSeverity> worst;
    for (const CheckFinding &f : findings) {
        if (!worst.contains(f.line - 1) || f.severity == CheckSeverity::Error)
            worst[f.line - 1] = f.severity;
    }
    return worst;
}

void verifyMarks(const MainWindowHarness &h, const QList<CheckFinding> &findings)
{
    const vbu::ScriptLineDelegate *delegate = delegateOf(h);
    QVERIFY(delegate->marksShown());
    const QMap<qsizetype, CheckSeverity> worst = worstByRow(findings);
    for (qsizetype row = 0; row < h.window->script().count(); ++row) {
        const auto mark = delegate->markOf(row);
        QCOMPARE(mark.has_value(), worst.contains(row));
        if (mark)
            QCOMPARE(*mark, worst.value(row));
    }
}

} // namespace

class TestCheckReport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // No report may outlive its test.
        QTRY_VERIFY(reportWindows().isEmpty());
    }

    void toolsMenuHoldsTheEntry()
    {
        MainWindowHarness h;
        QStringList menus;
        for (QAction *a : h.window->menuBar()->actions())
            menus.append(a->menu() ? a->menu()->objectName() : QString());
        QCOMPARE(menus, (QStringList{u"mnuFile"_s, u"mnuEdit"_s, u"mnuOptions"_s, u"mnuTools"_s, u"mnuHelp"_s}));
        auto *tools = h.window->findChild<QMenu *>(u"mnuTools"_s);
        QCOMPARE(tools->title(), u"&Tools"_s);
        QAction *entry = h.action("mnuCheckScript");
        QVERIFY(entry);
        QCOMPARE(tools->actions(), QList<QAction *>{entry});
        QCOMPARE(entry->text(), u"&Check Script"_s);
        QCOMPARE(entry->shortcut(), QKeySequence(u"Ctrl+K"_s));
    }

    void shortcutOpensOneReport()
    {
        MainWindowHarness h;
        h.setLines(mixedScript);
        QVERIFY(h.showActive());
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        vbu::CheckReportWindow *report = h.window->checkReport();
        QVERIFY(report);
        QVERIFY(report->isVisible());
        QVERIFY(!report->isModal());
        QCOMPARE(report->objectName(), u"frmCheck"_s);
        QCOMPARE(report->game(), CheckGame::Both);

        // Again: the same window, checked afresh, in front.
        h.window->script().append("bind b x; bind b y");
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(h.window->checkReport(), report);
        QCOMPARE(reportWindows().size(), 1);
        QCOMPARE(report->findings(), engine(h.lines(), CheckGame::Both));
        report->close();
        QTRY_VERIFY(!h.window->checkReport());
    }

    void reportListsTheEnginesFindings_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<CheckGame>("game");
        for (const auto &[name, game] : {std::pair{"quake", CheckGame::Quake}, std::pair{"quake 2", CheckGame::Quake2},
                                         std::pair{"both", CheckGame::Both}}) {
            QTest::addRow("mixed/%s", name) << mixedScript << game;
            QTest::addRow("clean/%s", name) << QByteArrayList{"bind mouse1 \"+attack\"", "sensitivity 3"} << game;
            QTest::addRow("empty/%s", name) << QByteArrayList{} << game;
        }
    }

    void reportListsTheEnginesFindings()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(CheckGame, game);
        MainWindowHarness h;
        h.setLines(lines);
        vbu::CheckReportWindow *report = openReport(h);
        QComboBox *games = report->cmbGame();
        QCOMPARE(games->count(), 3);
        QCOMPARE(games->itemText(0), u"Quake"_s);
        QCOMPARE(games->itemText(1), u"Quake 2"_s);
        QCOMPARE(games->itemText(2), u"Both"_s);
        games->setCurrentIndex(game == CheckGame::Quake ? 0 : game == CheckGame::Quake2 ? 1 : 2);
        QCOMPARE(report->game(), game);

        // Choosing a game checks again: the script reads differently for each.
        const QList<CheckFinding> expected = engine(lines, game);
        if (lines == mixedScript)
            QVERIFY(expected != engine(lines, game == CheckGame::Quake ? CheckGame::Quake2 : CheckGame::Quake));
        QCOMPARE(report->findings(), expected);
        QCOMPARE(shownRows(*report), expectedRows(expected));
        QCOMPARE(report->lblSummary()->text() == u"No findings."_s, expected.isEmpty());
        verifyMarks(h, expected);
        report->close();
    }

    void doubleClickSelectsTheLine()
    {
        MainWindowHarness h;
        h.setLines(mixedScript);
        QVERIFY(h.showActive());
        h.window->selectRow(0);
        vbu::CheckReportWindow *report = openReport(h);
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QTreeView *list = report->lstFindings();
        const int pick = list->model()->rowCount() - 1;
        QVERIFY(pick > 0);
        const qsizetype line = report->findings().at(pick).line;
        QVERIFY(line > 1);
        const QRect at = list->visualRect(list->model()->index(pick, vbu::CheckFindingsModel::TextColumn));
        // A double click comes after a first press and release.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
        QCOMPARE(h.window->selectedRow(), line - 1);
        QTRY_VERIFY(h.window->isActiveWindow());
        QVERIFY(h.window->lstBind()->hasFocus());
        report->close();
    }

    void marksGoWithTheReport()
    {
        MainWindowHarness h;
        h.setLines(mixedScript);
        vbu::ScriptLineDelegate *delegate = delegateOf(h);
        QVERIFY(delegate);
        QVERIFY(!delegate->marksShown());
        vbu::CheckReportWindow *report = openReport(h);
        const QList<CheckFinding> found = engine(mixedScript, CheckGame::Both);
        QVERIFY(!found.isEmpty());
        verifyMarks(h, found);
        report->close();
        QVERIFY(!delegate->marksShown());
        for (qsizetype row = 0; row < h.window->script().count(); ++row)
            QVERIFY(!delegate->markOf(row));
        // A change after the close checks nothing and marks nothing.
        h.window->edits().insert(0, "bind a again");
        QTRY_VERIFY(!h.window->checkReport());
        QTest::qWait(300);
        QVERIFY(!delegate->marksShown());
    }

    void changesCheckAgain()
    {
        MainWindowHarness h;
        h.setLines(mixedScript);
        vbu::CheckReportWindow *report = openReport(h);
        const QList<CheckFinding> before = report->findings();

        // A line inserted above: the findings and their marks move down with the lines.
        h.window->edits().insert(0, "bind A +attack");
        QTRY_COMPARE(report->findings(), engine(h.lines(), CheckGame::Both));
        verifyMarks(h, report->findings());
        for (const CheckFinding &f : before)
            QVERIFY(delegateOf(h)->markOf(f.line));

        // Removing, replacing, moving and loading are changes as well.
        h.window->edits().remove(1);
        h.window->edits().replace(0, "bind b x // note; quit");
        h.window->edits().move(0, 3);
        QTRY_COMPARE(report->findings(), engine(h.lines(), CheckGame::Both));
        verifyMarks(h, report->findings());

        const QString name = h.path(u"loaded.cfg"_s);
        vbu::test::writeAll(name, "bind ESCAPE quit\r\nbind a x\r\n");
        h.window->LoadScript(name);
        QTRY_COMPARE(report->findings(), engine({"bind ESCAPE quit", "bind a x"}, CheckGame::Both));
        verifyMarks(h, report->findings());
        report->close();
    }

    void checkAgainUsesTheListAsItIsNow()
    {
        MainWindowHarness h;
        h.setLines({"bind w +forward"});
        vbu::CheckReportWindow *report = openReport(h);
        QVERIFY(report->findings().isEmpty());
        QCOMPARE(report->lblSummary()->text(), u"No findings."_s);
        h.window->script().append("bind w +back");
        h.window->script().append("bind PRINTSCRN x");
        // At once, without waiting for the check that follows a change.
        QTest::mouseClick(report->cmdCheckAgain(), Qt::LeftButton);
        const QList<CheckFinding> found = engine(h.lines(), CheckGame::Both);
        QCOMPARE(report->findings(), found);
        QCOMPARE(found.size(), 2);
        QCOMPARE(report->lblSummary()->text(), u"1 error, 1 warning"_s);
        report->close();
    }
};

QTEST_MAIN(TestCheckReport)
#include "tst_checkreport.moc"
