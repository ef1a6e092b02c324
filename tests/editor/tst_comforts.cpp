#include "core/app/MruList.h"
#include "core/editor/ScriptEdits.h"
#include "gui/editor/KeyCaptureDialog.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::MainWindowHarness;

namespace {

void trigger(const MainWindowHarness &h, const char *name, int times = 1)
{
    for (int i = 0; i < times; ++i)
        h.action(name)->trigger();
}

vbu::KeyCaptureDialog *openCapture(MainWindowHarness &h)
{
    h.action("mnuCaptureKey")->trigger();
    for (auto *dialog : h.window->findChildren<vbu::KeyCaptureDialog *>()) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

class TestComforts : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoWalkEveryKindOfChange()
    {
        MainWindowHarness h;
        const QString name = h.path(u"u.cfg"_s);
        vbu::test::writeAll(name, "one\r\ntwo\r\n");
        h.window->LoadScript(name);
        QVERIFY(!h.action("mnuUndo")->isEnabled());

        QList<QByteArrayList> states{h.lines()};
        const auto record = [&] { states.append(h.lines()); };
        h.window->txtBind()->setText(u"+jump"_s);
        h.window->cmdAdd_Click();
        record();
        h.window->selectRow(0);
        h.prompter.answerInput(u"ONE"_s);
        h.window->lstBind_DblClick();
        record();
        h.prompter.answerInput(u"c"_s);
        h.window->mnuInsertC_Click();
        record();
        h.window->selectRow(1);
        h.window->mnuCut_Click();
        record();
        h.window->mnuPaste_Click();
        record();
        h.window->moveSelectedLine(+1);
        record();
        h.window->mnuDelete_Click();
        record();
        h.prompter.answerMessage(Prompter::Yes);
        h.window->mnuClearAll_Click();
        record();
        QVERIFY(h.lines().isEmpty());

        for (qsizetype i = states.size() - 2; i >= 0; --i) {
            trigger(h, "mnuUndo");
            QCOMPARE(h.lines(), states.at(i));
        }
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        for (qsizetype i = 1; i < states.size(); ++i) {
            QVERIFY(h.action("mnuRedo")->isEnabled());
            trigger(h, "mnuRedo");
            QCOMPARE(h.lines(), states.at(i));
        }
        QCOMPARE(h.window->caption(), name); // undo never touches the file record
    }

    void shortcutsForUndoAndRedo()
    {
        MainWindowHarness h;
        QCOMPARE(h.action("mnuUndo")->shortcut(), QKeySequence(u"Ctrl+Z"_s));
        const QList<QKeySequence> redo{QKeySequence(u"Ctrl+Shift+Z"_s), QKeySequence(u"Ctrl+Y"_s)};
        QCOMPARE(h.action("mnuRedo")->shortcuts(), redo);
        QVERIFY(h.showActive());
        h.setLines({"a"});
        h.window->selectRow(0);
        h.window->lstBind()->setFocus();
        QTest::keyClick(h.window->lstBind(), Qt::Key_D, Qt::ControlModifier);
        QVERIFY(h.lines().isEmpty());
        QTest::keyClick(h.window->lstBind(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.lines(), QByteArrayList{"a"});
        QTest::keyClick(h.window->lstBind(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(h.lines().isEmpty());
    }

    void freshHistoryAfterOpenNewAndClose()
    {
        MainWindowHarness h;
        const QString name = h.path(u"f.cfg"_s);
        vbu::test::writeAll(name, "x\r\n");
        h.window->edits().append("typed");
        h.window->LoadScript(name);
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        h.window->edits().append("typed");
        h.window->mnuNew_Click();
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        h.window->LoadScript(name);
        h.window->edits().append("typed");
        h.prompter.answerMessage(Prompter::No);
        h.window->mnuClose_Click();
        QVERIFY(!h.action("mnuUndo")->isEnabled());
        QVERIFY(h.lines().isEmpty());
    }

    void altArrowsMoveTheSelectedLine()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"a", "b", "c"});
        h.window->selectRow(0);
        h.window->lstBind()->setFocus();
        QTest::keyClick(h.window->lstBind(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(h.window->lstBind(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(h.window->lstBind(), Qt::Key_Down, Qt::AltModifier); // already last
        QCOMPARE(h.lines(), (QByteArrayList{"b", "c", "a"}));
        QCOMPARE(h.window->selectedRow(), 2);
        QTest::keyClick(h.window->lstBind(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(h.lines(), (QByteArrayList{"b", "a", "c"}));
        QCOMPARE(h.window->selectedRow(), 1);
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
        if (lines != QByteArrayList{"a", "b", "c", "d"}) {
            h.action("mnuUndo")->trigger();
            QCOMPARE(h.lines(), (QByteArrayList{"a", "b", "c", "d"}));
        }
        QVERIFY(!model.dropMimeData(dragged.get(), Qt::CopyAction, 0, 0, {}));
    }

    void droppingAFileOpensItAsOpenWould()
    {
        MainWindowHarness h;
        const QString name = h.path(u"dropped.cfg"_s);
        vbu::test::writeAll(name, "bind x \"y\"\r\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(name)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.window.get(), &drop);
        QCOMPARE(h.lines(), QByteArrayList{"bind x \"y\""});
        QCOMPARE(h.window->caption(), name);
        QCOMPARE(h.window->fileName(), name);
        QCOMPARE(h.window->recentFiles().files(), QStringList{name});

        // A dropped name that is not there gets Open's message.
        QMimeData gone;
        gone.setUrls({QUrl::fromLocalFile(h.path(u"gone.cfg"_s))});
        QDragEnterEvent enterGone(QPoint(50, 50), Qt::CopyAction, &gone, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(h.window.get(), &enterGone);
        QDropEvent dropGone(QPointF(50, 50), Qt::CopyAction, &gone, Qt::LeftButton, Qt::NoModifier);
        h.prompter.answerMessage(Prompter::Ok);
        QCoreApplication::sendEvent(h.window.get(), &dropGone);
        QCOMPARE(h.prompter.asked.size(), 1);
        QCOMPARE(h.prompter.last().message.text,
                 QString(u"File '"_s + h.path(u"gone.cfg"_s) + u"' could not be found."_s));

        QMimeData web;
        web.setUrls({QUrl(u"https://example.org/a.cfg"_s)});
        QDragEnterEvent enterWeb(QPoint(50, 50), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        enterWeb.ignore();
        QCoreApplication::sendEvent(h.window.get(), &enterWeb);
        QVERIFY(!enterWeb.isAccepted());
    }

    void capturedKeysFillTheKeyBox()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        auto *dialog = openCapture(h);
        QVERIFY(dialog);
        QCOMPARE(dialog->isModal() || dialog->windowModality() != Qt::NonModal, true);
        QTest::keyClick(dialog, Qt::Key_F5);
        QCOMPARE(h.window->txtKey()->currentText(), u"f5"_s);
        QTRY_VERIFY(!dialog->isVisible());

        dialog = openCapture(h);
        QVERIFY(dialog);
        QTest::mouseClick(dialog, Qt::RightButton);
        QCOMPARE(h.window->txtKey()->currentText(), u"mouse2"_s);

        dialog = openCapture(h);
        QVERIFY(dialog);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(dialog, &wheel);
        QCOMPARE(h.window->txtKey()->currentText(), u"mwheeldown"_s);

        dialog = openCapture(h);
        QVERIFY(dialog);
        QTest::keyClick(dialog, Qt::Key_Tab); // a key to bind, not a focus move
        QCOMPARE(h.window->txtKey()->currentText(), u"tab"_s);
    }

    void escapeCancelsTheCapture()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.window->txtKey()->setEditText(u"q"_s);
        auto *dialog = openCapture(h);
        QVERIFY(dialog);
        QTest::keyClick(dialog, Qt::Key_VolumeUp); // no game name: still waiting
        QVERIFY(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(h.window->txtKey()->currentText(), u"q"_s);
    }

    void keyBoxMenuOffersTheCapture()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        QLineEdit *key = h.window->txtKey()->lineEdit();
        emit key->customContextMenuRequested(QPoint(3, 3));
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QVERIFY(menu->actions().contains(h.action("mnuCaptureKey")));
        menu->close();
    }
};

QTEST_MAIN(TestComforts)
#include "tst_comforts.moc"
