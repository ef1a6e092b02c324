#include "core/check/CheckProfile.h"
#include "core/check/GameProfiles.h"
#include "core/check/OpenChangeFindings.h"
#include "core/editor/ScriptEdits.h"
#include "gui/editor/CheckReportWindow.h"
#include "gui/editor/ScriptLineDelegate.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

#include <limits>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckSeverity;
using vbu::ConsoleFont;
using vbu::ScriptLineDelegate;
using vbu::test::child;
using vbu::test::MainWindowHarness;

namespace {

constexpr int fontPixels = ConsoleFont::Sheet::cell;

// Something for every game and profile to find, some of it for one only.
const QByteArrayList mixedScript{
    "bind a +attack", "bind a +jump", "set fov 90",      "bind KP_ENTER x",     "// note; quit",
    "name \"a\"b\"",  "bind ` kill",  "bind w +forward", "bind MOUSE4 +attack",
};

// The checker's findings on the list as it is now, for a shipped game profile.
QList<CheckFinding> engine(const MainWindowHarness &h, const QString &profile)
{
    QString error;
    const auto loaded = vbu::CheckProfile::load(profile, vbu::GameProfiles::directory(), &error);
    const vbu::ScriptModel &script = h.window->script();
    return vbu::OpenChangeFindings::withMarks(vbu::ScriptChecker::check(script.lines(), loaded->target()),
                                              script.marks());
}

ScriptLineDelegate *delegateOf(const MainWindowHarness &h)
{
    return qobject_cast<ScriptLineDelegate *>(h.child<QTreeView>("lstBind")->itemDelegate());
}

// Once the check has caught up, the report shows the checker's findings on the list as it is
// now, one a row, and the list marks the lines they are about with the worst of them.
void verifyReport(const MainWindowHarness &h, const vbu::CheckReportWindow &report)
{
    QTRY_VERIFY(!report.isChecking());
    const QList<CheckFinding> found = engine(h, report.profileName());
    QCOMPARE(report.findings(), found);
    const QAbstractItemModel *rows = child<QAbstractItemView>(&report, u"lstFindings"_s)->model();
    QCOMPARE(rows->rowCount(), found.size());
    QHash<qsizetype, CheckSeverity> worst;
    for (int r = 0; r < found.size(); ++r) {
        const CheckFinding &f = found.at(r);
        QStringList shown;
        for (int c = 0; c < rows->columnCount(); ++c)
            shown.append(rows->index(r, c).data().toString());
        QCOMPARE(shown,
                 (QStringList{QString::number(f.line), f.severity == CheckSeverity::Error ? u"Error"_s : u"Warning"_s,
                              f.text, f.otherLine > 0 ? QString::number(f.otherLine) : QString()}));
        worst[f.line - 1] = std::min(worst.value(f.line - 1, f.severity), f.severity);
    }
    QVERIFY(delegateOf(h)->marksShown());
    for (qsizetype row = 0; row < h.window->script().count(); ++row)
        QCOMPARE(delegateOf(h)->markOf(row), worst.contains(row) ? std::optional(worst[row]) : std::nullopt);
}

QImage grabRow(const MainWindowHarness &h, int row)
{
    auto *list = h.child<QTreeView>("lstBind");
    const QImage all = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(list->visualRect(list->model()->index(row, 0)));
}

QRgb background(const MainWindowHarness &h)
{
    return h.child<QTreeView>("lstBind")->palette().color(QPalette::Active, QPalette::Base).rgb();
}

// Whether the codes are drawn side by side from (left, top), each glyph in a square of side
// pixels: every font pixel, looked at in its middle, has the font's colour, or the list's
// background where the font is black. The font's pictures hold each font pixel twice.
bool glyphsAt(const QImage &row, int left, int top, int side, const QByteArray &codes, QRgb back)
{
    const int scale = ConsoleFont::glyphSize / fontPixels;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QImage glyph = ConsoleFont::shared().glyph(uchar(codes.at(i)));
        for (int y = 0; y < fontPixels; ++y) {
            for (int x = 0; x < fontPixels; ++x) {
                const int px = left + int(i) * side + (2 * x + 1) * side / (2 * fontPixels);
                const int py = top + (2 * y + 1) * side / (2 * fontPixels);
                const QRgb font = glyph.pixel(x * scale, y * scale) | 0xff000000;
                if (!row.rect().contains(px, py) || row.pixel(px, py) != ((font & 0xffffff) ? font : back))
                    return false;
            }
        }
    }
    return true;
}

// The leftmost column that is not all background, or -1.
int firstInkColumn(const QImage &row, QRgb back)
{
    for (int i = 0; i < row.width() * row.height(); ++i) {
        if (row.pixel(i / row.height(), i % row.height()) != back)
            return i / row.height();
    }
    return -1;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

class TestCheckReport : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    void reportFollowsTheShortcutTheGameTheClicksAndTheChanges()
    {
        MainWindowHarness h;
        QStringList menus;
        for (QAction *a : h.window->menuBar()->actions())
            menus.append(a->menu() ? a->menu()->objectName() : QString());
        QCOMPARE(menus, (QStringList{u"mnuFile"_s, u"mnuEdit"_s, u"mnuOptions"_s, u"mnuTools"_s, u"mnuHelp"_s}));
        QCOMPARE(h.action("mnuCheckScript")->text(), u"&Check Script"_s);
        h.setLines({"bind w +forward"});
        QVERIFY(h.showActive());
        ScriptLineDelegate *delegate = delegateOf(h);
        QVERIFY(!delegate->marksShown());
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        vbu::CheckReportWindow *report = h.window->checkReport();
        QVERIFY(report && report->isVisible() && !report->isModal());
        QCOMPARE(report->profileName(), u"both"_s);
        verifyReport(h, *report);
        QVERIFY(report->findings().isEmpty());
        QCOMPARE(child<QLabel>(report, u"lblSummary"_s)->text(), u"No findings."_s);

        // Check Again at once, without waiting for the check that follows a change.
        h.window->script().append("bind w +back");
        h.window->script().append("bind PRINTSCRN +attack");
        QTest::mouseClick(child<QPushButton>(report, u"cmdCheckAgain"_s), Qt::LeftButton);
        verifyReport(h, *report);
        QCOMPARE(child<QLabel>(report, u"lblSummary"_s)->text(), u"1 error, 1 warning"_s);
        // The shortcut again, in the main window: the same window, checked afresh.
        h.setLines(mixedScript);
        h.window->selectRow(0);
        h.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(h.window->checkReport(), report);
        verifyReport(h, *report);

        // Every profile, the original games first; the script reads differently in each.
        auto *profiles = child<QComboBox>(report, u"cmbProfile"_s);
        const QStringList expected{u"quake"_s, u"quake2"_s, u"both"_s, u"q2pro"_s, u"quakespasm"_s};
        QStringList titles;
        QList<QList<CheckFinding>> reports;
        for (int i = 0; i < profiles->count(); ++i) {
            profiles->setCurrentIndex(i);
            titles.append(profiles->currentText());
            QCOMPARE(report->profileName(), expected.value(i));
            verifyReport(h, *report);
            if (!reports.contains(report->findings()))
                reports.append(report->findings());
        }
        QCOMPARE(titles, (QStringList{u"Quake"_s, u"Quake 2"_s, u"Quake and Quake 2"_s, u"Q2PRO"_s,
                                      u"QuakeSpasm, Ironwail and vkQuake"_s}));
        QCOMPARE(reports.size(), expected.size());

        // A double click on a finding selects its line in the list.
        auto *view = child<QAbstractItemView>(report, u"lstFindings"_s);
        const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, 0);
        QVERIFY(last.data().toInt() > 1);
        view->scrollTo(last);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
        QCOMPARE(h.window->selectedRow(), last.data().toInt() - 1);
        QTRY_VERIFY(h.window->isActiveWindow());
        QVERIFY(h.child<QTreeView>("lstBind")->hasFocus());

        // A line inserted above: the findings and their marks move down with the lines.
        h.window->edits().insert(0, "bind A +attack");
        verifyReport(h, *report);
        // Removing, replacing, moving and loading are changes as well.
        h.window->edits().remove(1);
        h.window->edits().replace(0, "bind b x // note; quit");
        h.window->edits().move(0, 3);
        verifyReport(h, *report);
        const QString name = h.path(u"loaded.cfg"_s);
        vbu::test::writeAll(name, "bind ESCAPE quit\r\nbind a x\r\n");
        h.window->loadScript(name);
        verifyReport(h, *report);

        // The choice of the last profile goes with the window.
        report->close();
        QVERIFY(!delegate->marksShown());
        // A change after the close checks nothing and marks nothing.
        h.window->edits().insert(0, "bind a again");
        QTRY_VERIFY(!h.window->checkReport());
        QTest::qWait(300);
        QVERIFY(!delegate->marksShown());
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(h.window->checkReport()->profileName(), u"both"_s);

        // What the list had yet to show when the window closed stays unshown, however long the
        // window waits to be deleted.
        vbu::CheckReportWindow *again = h.window->checkReport();
        QTRY_VERIFY(!again->isChecking());
        again->setAttribute(Qt::WA_DeleteOnClose, false);
        again->close();
        QTest::qWait(100);
        QVERIFY(!delegate->marksShown());
        delete again;
    }

    // A report longer than its window goes as a list does: the keys move the chosen row a line,
    // a page or to either end and keep it in sight, a row looks the same wherever it is scrolled
    // to, a click picks the row under the pointer, and Enter goes to the line.
    void longReportUnderTheKeys()
    {
        MainWindowHarness h;
        QByteArrayList lines;
        for (int i = 0; i < 300; ++i)
            lines.append("bind PRINTSCRN x" + QByteArray::number(i));
        h.setLines(lines);
        QVERIFY(h.showActive());
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        vbu::CheckReportWindow *report = h.window->checkReport();
        verifyReport(h, *report);
        auto *view = child<QAbstractItemView>(report, u"lstFindings"_s);
        const int rows = view->model()->rowCount();
        QVERIFY(rows >= 300);
        report->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(report));
        view->setFocus();
        const auto row = [view] { return view->currentIndex().row(); };
        const auto inSight = [view](int r) {
            return view->viewport()->rect().contains(view->visualRect(view->model()->index(r, 0)));
        };

        QTest::keyClick(view, Qt::Key_Home);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(row(), 1);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(row(), rows - 1);
        QVERIFY(inSight(rows - 1));
        QVERIFY(view->selectionModel()->isRowSelected(rows - 1, {}));
        QTest::keyClick(view, Qt::Key_PageUp);
        // A page is what the list shows, or near it.
        const int page = rows - 1 - row();
        const int rowHeight = view->visualRect(view->currentIndex()).height();
        QVERIFY(page > 3 && page * rowHeight <= view->viewport()->height() &&
                (page + 2) * rowHeight > view->viewport()->height());
        QVERIFY(inSight(row()) && !inSight(rows - 2 - page));
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(row(), rows - 2 - page);
        QVERIFY(inSight(row()));
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(row(), rows - 2);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(row(), 0);
        QVERIFY(inSight(0) && !inSight(page + 1));
        // Down past the bottom of the list: the list follows, a row at a time.
        for (int i = 0; i < page + 2; ++i) {
            QTest::keyClick(view, Qt::Key_Down);
            QVERIFY(inSight(row()) && !inSight(row() - page - 1));
        }

        const QModelIndex middle = view->model()->index(rows / 2 + 1, 0);
        const auto rowImage = [view](const QModelIndex &at) {
            const QRect cell = view->visualRect(at);
            return view->viewport()->grab(QRect(0, cell.top(), view->viewport()->width(), cell.height())).toImage();
        };
        view->scrollTo(middle, QAbstractItemView::PositionAtTop);
        QCOMPARE(view->visualRect(middle).top(), 0);
        const QImage atTop = rowImage(middle);
        QVERIFY(atTop != rowImage(view->model()->index(middle.row() + 1, 0)));
        view->scrollTo(middle, QAbstractItemView::PositionAtBottom);
        QCOMPARE(view->visualRect(middle).bottom(), view->viewport()->height() - 1);
        QCOMPARE(rowImage(middle), atTop);
        QVERIFY(atTop != rowImage(view->model()->index(middle.row() - 1, 0)));

        view->scrollToBottom();
        const QModelIndex last = view->model()->index(rows - 1, 0);
        QVERIFY(inSight(rows - 1));
        QCOMPARE(view->indexAt(view->visualRect(last).center()), last);
        // The whole row shows chosen, not only the cell clicked.
        const auto explanation = [view, &last] {
            return view->viewport()->grab(view->visualRect(last.siblingAtColumn(2))).toImage();
        };
        const QImage unchosen = explanation();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(last).center());
        QCOMPARE(row(), rows - 1);
        QVERIFY(explanation() != unchosen);
        QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
        QVERIFY(view->selectionModel()->isRowSelected(rows - 1, {}));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(h.window->selectedRow(), last.data().toInt() - 1);

        // A finding that changes in sight, below the top row, shows changed.
        view->scrollToTop();
        QTest::qWait(50);
        PaintCounter paints(view->viewport());
        h.window->edits().replace(view->model()->index(5, 0).data().toInt() - 1, "bind PRINTSCRN y0");
        verifyReport(h, *report);
        QCOMPARE(view->model()->rowCount(), rows);
        QTRY_VERIFY(paints.count > 0);
    }

    void editsWhileTheCheckRuns()
    {
        // Long enough for the worker to be still at it when the edits come.
        MainWindowHarness h;
        vbu::ScriptLines lines;
        for (int i = 0; i < 120'000; ++i)
            lines.append(mixedScript.at(i % mixedScript.size()));
        vbu::ScriptEdits &edits = h.window->edits();
        edits.load(lines);
        QVERIFY(h.showActive());
        QTest::keyClick(h.window.get(), Qt::Key_K, Qt::ControlModifier);
        vbu::CheckReportWindow *report = h.window->checkReport();
        const QAbstractItemModel *rows = child<QAbstractItemView>(report, u"lstFindings"_s)->model();
        // The report fills while the check runs.
        QVERIFY(QTest::qWaitFor([&] { return rows->rowCount() > 0; }, 60'000));
        QVERIFY(report->isChecking());
        edits.insert(3, "unbindall");
        QCoreApplication::processEvents();
        edits.move(0, 90'000);
        edits.history()->undo();
        QTRY_VERIFY_WITH_TIMEOUT(!report->isChecking(), 60'000);
        QCOMPARE(report->findings(), engine(h, u"both"_s));
        QCOMPARE(rows->rowCount(), report->findings().size());

        // A port chosen while the check runs: only its findings remain, and the list is told of
        // every row that changed, however the check's batches came together.
        const auto shownRows = [rows] {
            QStringList shown;
            for (int r = 0; r < rows->rowCount(); ++r)
                shown.append(rows->index(r, 0).data().toString() + rows->index(r, 2).data().toString());
            return shown;
        };
        const QStringList before = shownRows();
        int firstTold = std::numeric_limits<int>::max();
        const QMetaObject::Connection told =
            connect(rows, &QAbstractItemModel::dataChanged, this,
                    [&](const QModelIndex &top) { firstTold = std::min(firstTold, top.row()); });
        child<QComboBox>(report, u"cmbProfile"_s)->setCurrentIndex(3);
        edits.replace(7, "bind w +back");
        QTRY_VERIFY_WITH_TIMEOUT(!report->isChecking(), 60'000);
        disconnect(told);
        QCOMPARE(report->findings(), engine(h, u"q2pro"_s));
        const QStringList after = shownRows();
        qsizetype firstChanged = 0;
        while (firstChanged < std::min(before.size(), after.size()) &&
               before.at(firstChanged) == after.at(firstChanged))
            ++firstChanged;
        QVERIFY(firstChanged < before.size());
        QVERIFY2(firstTold <= firstChanged,
                 qPrintable(u"row %1 changed, told from %2"_s.arg(firstChanged).arg(firstTold)));

        // Closed while it runs: the check ends with the window, and so do the marks.
        QTest::mouseClick(child<QPushButton>(report, u"cmdCheckAgain"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(report, u"cmdClose"_s), Qt::LeftButton);
        QTRY_VERIFY(!h.window->checkReport());
        QVERIFY(!delegateOf(h)->marksShown());
    }

    // Special bytes paint as the game's glyphs; marks paint their severity in a column that every
    // row makes room for while they are shown, so the lines stay level.
    void painting()
    {
        // Control bytes, delete and the high half to its last byte.
        const QByteArray codes = "\x01\x12\x1f\x7f\x80\xc6\xff"_ba;
        MainWindowHarness h;
        h.setLines({"", "", "", "name \"" + codes + "x\""});
        QVERIFY(h.showActive());
        h.child<QTreeView>("lstBind")->selectionModel()->clearSelection();
        const QRgb back = background(h);
        const QImage row = grabRow(h, 3);
        const int side = ScriptLineDelegate::glyphSide(QFontMetrics(h.child<QTreeView>("lstBind")->font()).height());
        QVERIFY(side >= fontPixels && side <= row.height());
        bool found = false;
        for (int top = 0; top + side <= row.height(); ++top) {
            for (int left = 0; left < row.width(); ++left)
                found = found || glyphsAt(row, left, top, side, codes, back);
        }
        QVERIFY(found);

        const int textBefore = firstInkColumn(row, back);
        delegateOf(h)->showMarks([](qsizetype r) {
            return r > 1 ? std::nullopt : std::optional(r == 0 ? CheckSeverity::Error : CheckSeverity::Warning);
        });
        const QImage error = grabRow(h, 0);
        const QImage warning = grabRow(h, 1);
        QVERIFY(firstInkColumn(error, back) >= 0 && firstInkColumn(warning, back) >= 0 && error != warning);
        QCOMPARE(firstInkColumn(grabRow(h, 2), back), -1);
        QVERIFY(firstInkColumn(grabRow(h, 3), back) >= textBefore + side);
        delegateOf(h)->clearMarks();
        QCOMPARE(firstInkColumn(grabRow(h, 0), back), -1);
        QCOMPARE(firstInkColumn(grabRow(h, 3), back), textBefore);
    }
};

QTEST_MAIN(TestCheckReport)
#include "tst_checkreport.moc"
