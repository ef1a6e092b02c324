#include "core/catalogue/Catalogue.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/catalogue/CommandsWindow.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using vbu::CommandsWindow;
using vbu::Prompter;
using vbu::test::MainWindowHarness;

namespace {

const QByteArray sample =
    "//1.3\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n\r\n\"say hello, world\"\r\n{Moves}\r\n[Jump]\r\n"
    "+jump\r\n";

struct Fixture
{
    explicit Fixture(const QByteArray &catalogue = sample)
    {
        h.window->setCataloguePath(h.path(u"commands.dat"_s));
        if (!catalogue.isNull())
            vbu::test::writeAll(h.window->cataloguePath(), catalogue);
    }
    CommandsWindow *open()
    {
        h.window->mnuCommandList_Click();
        return qobject_cast<CommandsWindow *>(h.window->commandListSwitch().window());
    }
    QTreeWidgetItem *find(CommandsWindow *w, const QString &text)
    {
        const auto found = w->TreeView1()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.constFirst();
    }
    void doubleClick(CommandsWindow *w, QTreeWidgetItem *item)
    {
        w->TreeView1()->setCurrentItem(item);
        w->TreeView1_DblClick();
    }
    MainWindowHarness h;
};

} // namespace

class TestCommandsWindow : public QObject
{
    Q_OBJECT

private slots:
    void showsTheCatalogueWithItsVersion()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        QVERIFY(w);
        QCOMPARE(w->objectName(), u"frmCommands"_s);
        QCOMPARE(w->windowTitle(), u"Command List - v1.3"_s);
        QTreeWidget *tree = w->TreeView1();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem *weapons = tree->topLevelItem(0);
        QCOMPARE(weapons->text(0), u"Weapons"_s);
        QCOMPARE(weapons->data(0, CommandsWindow::KeyRole).toByteArray(), QByteArray("{Weapons"));
        QCOMPARE(weapons->data(0, CommandsWindow::ImageRole).toInt(), 1);
        QTreeWidgetItem *axe = weapons->child(0);
        QCOMPARE(axe->data(0, CommandsWindow::KeyRole).toByteArray(), QByteArray("[Axe"));
        QCOMPARE(axe->childCount(), 2);
        QCOMPARE(axe->child(0)->text(0), u"impulse 1"_s);
        QCOMPARE(axe->child(1)->text(0), u"say hello, world"_s);
        QVERIFY(axe->child(0)->data(0, CommandsWindow::KeyRole).toByteArray().isEmpty());
        QCOMPARE(axe->child(0)->data(0, CommandsWindow::ImageRole).toInt(), 3);
        QCOMPARE(f.h.window->progress()->value(), 0);
    }

    void designLayout()
    {
        Fixture f;
        f.h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.h.window.get()));
        CommandsWindow *w = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->windowFlags() & Qt::Tool);
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(w->TreeView1()->geometry().topLeft(), QPoint(2, 2));
        QCOMPARE(w->TreeView1()->height(), 351);
        QCOMPARE(w->width(), 197);
        // The outer width at load, before the window has a frame, less 100 twips.
        QCOMPARE(w->TreeView1()->width(), (197 * 15 - 100) / 15);
        QCOMPARE(w->chkDocked()->geometry(), QRect(24, 358, 151, 13));
        QVERIFY(w->chkDocked()->isChecked());
        QTRY_COMPARE(w->frameGeometry().height(), f.h.window->frameGeometry().height());
        QCOMPARE(w->mnuCheck()->text(), u"Check For List Updates"_s);
    }

    void progressCountsNodesAndEndsEmpty()
    {
        Fixture f;
        QProgressBar *bar = f.h.window->progress();
        QSignalSpy values(bar, &QProgressBar::valueChanged);
        f.open();
        // 9 records (the empty one counts), 7 nodes.
        QCOMPARE(bar->maximum(), 10);
        QList<int> seen;
        for (const auto &v : values)
            seen.append(v.at(0).toInt());
        QCOMPARE(seen, (QList<int>{1, 2, 3, 4, 5, 6, 7, 0}));
    }

    void missingCatalogueIsReportedAndTheWindowStillOpens()
    {
        Fixture f(QByteArray{});
        f.h.prompter.answerMessage(Prompter::Ok);
        CommandsWindow *w = f.open();
        QVERIFY(w);
        QCOMPARE(f.h.prompter.asked.size(), 1);
        const auto &m = f.h.prompter.last().message;
        QCOMPARE(m.title, u"Error Opening File"_s);
        QVERIFY(m.text.startsWith(
            u"Critical System File could not be found.Please reinstall and try again.\r\nIf problem persists please "
            "contact: "_s));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(w->windowTitle(), u"Command List - v"_s);
        QCOMPARE(w->TreeView1()->topLevelItemCount(), 0);
        QCOMPARE(f.h.window->progress()->value(), 0);
    }

    void doubleClickTogglesFolderImages()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        for (const QString &name : {u"Weapons"_s, u"Axe"_s}) {
            QTreeWidgetItem *node = f.find(w, name);
            f.doubleClick(w, node);
            QCOMPARE(node->data(0, CommandsWindow::ImageRole).toInt(), 2);
            f.doubleClick(w, node);
            QCOMPARE(node->data(0, CommandsWindow::ImageRole).toInt(), 1);
        }
        QVERIFY(f.h.window->txtBind()->text().isEmpty());
    }

    void doubleClickedCommandsJoinTheBindingText()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        f.doubleClick(w, f.find(w, u"impulse 1"_s));
        QCOMPARE(f.h.window->txtBind()->text(), u"impulse 1"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"impulse 1"_s);
        f.doubleClick(w, f.find(w, u"+jump"_s));
        QCOMPARE(f.h.window->txtBind()->text(), u"impulse 1;+jump"_s);
        QCOMPARE(f.h.window->txtBind()->cursorPosition(), 15);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"+jump"_s);
        // Through the real view, as a person double-clicks.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTreeWidget *tree = w->TreeView1();
        tree->expandAll();
        const QRect r = tree->visualItemRect(f.find(w, u"say hello, world"_s));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.h.window->txtBind()->text(), u"impulse 1;+jump;say hello, world"_s);
        // Nothing selected: nothing happens.
        tree->setCurrentItem(nullptr);
        w->TreeView1_DblClick();
        QCOMPARE(f.h.window->txtBind()->text(), u"impulse 1;+jump;say hello, world"_s);
    }

    void everyOpeningReadsTheFileAfresh()
    {
        Fixture f;
        f.open();
        f.h.window->mnuCommandList_Click();
        QVERIFY(!f.h.window->commandListSwitch().isOpen());
        vbu::test::writeAll(f.h.window->cataloguePath(), "//2.0\r\n{Only}\r\n");
        CommandsWindow *w = f.open();
        QCOMPARE(w->windowTitle(), u"Command List - v2.0"_s);
        QCOMPARE(w->TreeView1()->topLevelItemCount(), 1);
        QCOMPARE(w->TreeView1()->topLevelItem(0)->data(0, CommandsWindow::ImageRole).toInt(), 1);
    }

    void switchesStayInStepWithTheWindows_data()
    {
        QTest::addColumn<QString>("steps");
        // c/f: the Options entries, C/F: toolbar buttons 12/13, x: the open window's close box.
        QTest::newRow("open and close by menu") << u"cc"_s;
        QTest::newRow("open and close by button") << u"CC"_s;
        QTest::newRow("swap both ways") << u"cfcFC"_s;
        QTest::newRow("close box then reopen") << u"cxcFxf"_s;
        QTest::newRow("mixed") << u"Cfxcfcx"_s;
    }

    void switchesStayInStepWithTheWindows()
    {
        QFETCH(QString, steps);
        Fixture f;
        vbu::MainWindow &m = *f.h.window;
        QAction *cmdMenu = f.h.action("mnuCommandList");
        QAction *nameMenu = f.h.action("mnuFunName");
        bool cmdOpen = false;
        bool nameOpen = false;
        for (const QChar step : steps) {
            switch (step.unicode()) {
            case 'c':
                cmdMenu->trigger();
                nameOpen = false;
                cmdOpen = !cmdOpen;
                break;
            case 'f':
                nameMenu->trigger();
                cmdOpen = false;
                nameOpen = !nameOpen;
                break;
            case 'C':
                m.toolbarButton(12)->trigger();
                nameOpen = false;
                cmdOpen = !cmdOpen;
                break;
            case 'F':
                m.toolbarButton(13)->trigger();
                cmdOpen = false;
                nameOpen = !nameOpen;
                break;
            case 'x': {
                auto &open = cmdOpen ? m.commandListSwitch() : m.funNameSwitch();
                QVERIFY(open.window()->close());
                cmdOpen = nameOpen = false;
                break;
            }
            }
            QCOMPARE(m.commandListSwitch().isOpen(), cmdOpen);
            QCOMPARE(m.funNameSwitch().isOpen(), nameOpen);
            QCOMPARE(cmdMenu->isChecked(), cmdOpen);
            QCOMPARE(m.toolbarButton(12)->isChecked(), cmdOpen);
            QCOMPARE(nameMenu->isChecked(), nameOpen);
            QCOMPARE(m.toolbarButton(13)->isChecked(), nameOpen);
        }
        QCOMPARE(f.h.prompter.unexpected, 0);
    }

    void dockedToTheMainWindowWhenShown()
    {
        Fixture f;
        f.h.window->move(140, 90);
        f.h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.h.window.get()));
        CommandsWindow *w = f.open();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect main = f.h.window->frameGeometry();
        QTRY_COMPARE(w->pos(), QPoint(main.left() + main.width(), main.top()));
        f.h.window->move(f.h.window->pos() + QPoint(25, 40));
        QTRY_COMPARE(w->pos(), QPoint(main.left() + main.width() + 25, main.top() + 40));
    }
};

QTEST_MAIN(TestCommandsWindow)
#include "tst_commandswindow.moc"
