#include "UpdateServer.h"
#include "core/app/AppInfo.h"
#include "core/catalogue/Detect.h"
#include "core/check/GameProfiles.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/catalogue/CommandsWindow.h"
#include "gui/catalogue/UpdateWaitDialog.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using vbu::CommandsWindow;
using vbu::Prompter;
using vbu::test::child;
using vbu::test::UpdateServer;
using Route = UpdateServer::Route;

namespace {

const QByteArray local =
    "//1.3\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n\r\n\"say hello, world\"\r\n{Moves}\r\n[Jump]\r\n+jump\r\n";
const QByteArray remote = "//1.4\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n";

struct Fixture
{
    explicit Fixture(const QByteArray &catalogue = local, bool tls = false) : server(tls)
    {
        vbu::Detect::setOverride([] { return true; });
        // No test here waits this long; a broken one fails instead of hanging.
        qputenv("VBU_UPDATE_TIMEOUT_MS", "5000");
        h.window->setCataloguePath(h.path(u"commands.dat"_s));
        if (!catalogue.isNull())
            vbu::test::writeAll(h.window->cataloguePath(), catalogue);
    }
    ~Fixture()
    {
        vbu::Detect::setOverride({});
        qunsetenv("VBU_UPDATE_URL");
        qunsetenv("VBU_UPDATE_TIMEOUT_MS");
    }
    // The window reads the update variable when it opens; a null base leaves it unset.
    CommandsWindow *open(const QString &base = QString())
    {
        if (base.isNull())
            qunsetenv("VBU_UPDATE_URL");
        else
            qputenv("VBU_UPDATE_URL", base.toUtf8());
        h.window->toggleCommandList();
        return qobject_cast<CommandsWindow *>(h.window->commandListSwitch().window());
    }
    // Opens the window on base (the test server when empty) and runs the update check with the answers queued.
    CommandsWindow *check(std::initializer_list<Prompter::Button> answers, const QString &base = u""_s)
    {
        CommandsWindow *w = open(base.isEmpty() ? server.url().toString() : base);
        for (const Prompter::Button answer : answers)
            h.prompter.answerMessage(answer);
        child<QAction>(w, u"mnuCheck"_s)->trigger();
        return w;
    }
    // Double-clicks the node with that text (none when there is none) and hands it back.
    QTreeWidgetItem *doubleClick(CommandsWindow *w, const QString &text)
    {
        QTreeWidgetItem *item =
            child<QTreeWidget>(w, u"TreeView1"_s)->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        child<QTreeWidget>(w, u"TreeView1"_s)->setCurrentItem(item);
        w->nodeDoubleClicked();
        return item;
    }
    QByteArray file() const { return vbu::test::readAll(h.window->cataloguePath()); }
    const Prompter::Message &message(int i) const { return h.prompter.asked.at(i).message; }

    vbu::test::MainWindowHarness h;
    UpdateServer server;
};

// What a shipped profile says a command or variable does.
QString description(const QString &profile, QByteArrayView name)
{
    const vbu::GameProfiles::Load load = vbu::GameProfiles::load(profile, vbu::GameProfiles::directory());
    const vbu::GameProfile::Entry *command = load.profile->command(name);
    return (command ? command : load.profile->variable(name))->description;
}

void compareMessage(const Prompter::Message &m, const QString &title, const QString &text, Prompter::Icon icon,
                    Prompter::Buttons buttons = Prompter::Ok, Prompter::Button defaultButton = Prompter::Ok)
{
    QCOMPARE(m.title, title);
    QCOMPARE(m.text, text);
    QCOMPARE(m.icon, icon);
    QCOMPARE(m.buttons, buttons);
    QCOMPARE(m.defaultButton, defaultButton);
}

} // namespace

Q_DECLARE_METATYPE(Route)

class TestCommandsWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    // The system's trust decides whether HTTPS goes through: the test authority is added to it.
    void initTestCase()
    {
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(QSslCertificate::fromPath(vbu::test::dataPath(u"catalogue/tls/ca.pem"_s)));
        QSslConfiguration::setDefaultConfiguration(config);
    }

    void showsTheCatalogueAfreshOnEveryOpening()
    {
        Fixture f;
        QSignalSpy values(f.h.child<QProgressBar>("Progress"), &QProgressBar::valueChanged);
        CommandsWindow *w = f.open();
        QCOMPARE(w->windowTitle(), u"Command List - v1.3"_s);
        // Each node as "text@image key", indented two blanks a level.
        QString shown;
        for (QTreeWidgetItemIterator it(child<QTreeWidget>(w, u"TreeView1"_s)); *it; ++it) {
            int depth = 0;
            for (const QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
                ++depth;
            shown += QString(2 * qsizetype(depth), u' ') + (*it)->text(0) + u'@' +
                     (*it)->data(0, CommandsWindow::ImageRole).toString() + u' ' +
                     (*it)->data(0, CommandsWindow::KeyRole).toString() + u'\n';
        }
        QCOMPARE(shown, u"Weapons@1 {Weapons\n  Axe@1 [Axe\n    impulse 1@3 \n    say hello, world@3 \nMoves@1 {Moves\n"
                        u"  Jump@1 [Jump\n    +jump@3 \n"_s);
        // 9 records (the empty one counts) against a maximum of 10, one step per node of 7, then 0.
        QCOMPARE(f.h.child<QProgressBar>("Progress")->maximum(), 10);
        QList<int> seen;
        for (const auto &v : values)
            seen.append(v.at(0).toInt());
        QCOMPARE(seen, (QList<int>{1, 2, 3, 4, 5, 6, 7, 0}));

        f.h.window->toggleCommandList();
        QVERIFY(!f.h.window->commandListSwitch().isOpen());
        vbu::test::writeAll(f.h.window->cataloguePath(), "//2.0\r\n{Only}\r\n");
        w = f.open();
        QCOMPARE(w->windowTitle(), u"Command List - v2.0"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 1);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItem(0)->data(0, CommandsWindow::ImageRole).toInt(), 1);
    }

    void missingCatalogueIsReportedAndTheWindowStillOpens()
    {
        Fixture f(QByteArray{});
        f.h.prompter.answerMessage(Prompter::Ok);
        CommandsWindow *w = f.open();
        QCOMPARE(f.h.prompter.asked.size(), 1);
        compareMessage(f.message(0), u"Error Opening File"_s,
                       u"Critical System File could not be found.Please reinstall and try again.\r\nIf problem "
                       u"persists please contact: "_s +
                           vbu::AppInfo::contactAddress(),
                       Prompter::Icon::Critical);
        QCOMPARE(w->windowTitle(), u"Command List - v"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 0);
        QCOMPARE(f.h.child<QProgressBar>("Progress")->value(), 0);
    }

    void longCommandsShowWholeOnHoverAndScrollSideways()
    {
        const QString command = u"cl_forwardspeed 400;cl_backspeed 400;cl_sidespeed 350"_s;
        Fixture f("//1.0\r\n{Moves}\r\n[Speed]\r\n" + command.toLatin1() + "\r\n");
        CommandsWindow *w = f.open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto *tree = child<QTreeWidget>(w, u"TreeView1"_s);
        tree->expandAll();
        const QRect r = tree->visualItemRect(tree->findItems(command, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QHelpEvent hover(QEvent::ToolTip, r.center(), tree->viewport()->mapToGlobal(r.center()));
        QCoreApplication::sendEvent(tree->viewport(), &hover);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text().section(u'\n', 0, 0) : QString(), command);
        QToolTip::hideText();
        // The whole text lies within the scrolled width, and the window keeps its design width.
        QTRY_VERIFY(tree->horizontalScrollBar()->maximum() + tree->viewport()->width() >
                    r.left() + tree->fontMetrics().horizontalAdvance(command));
        QCOMPARE(w->width(), 2955 / 15);
    }

    void doubleClicks()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        // On a group or section, the image toggles and nothing else happens.
        for (const QString &name : {u"Weapons"_s, u"Axe"_s}) {
            QCOMPARE(f.doubleClick(w, name)->data(0, CommandsWindow::ImageRole).toInt(), 2);
            QCOMPARE(f.doubleClick(w, name)->data(0, CommandsWindow::ImageRole).toInt(), 1);
        }
        QVERIFY(f.h.child<QLineEdit>("txtBind")->text().isEmpty());
        // On a command, it goes through the clipboard into the binding text, joined by ";".
        f.doubleClick(w, u"impulse 1"_s);
        QCOMPARE(f.h.child<QLineEdit>("txtBind")->text(), u"impulse 1"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"impulse 1"_s);
        f.doubleClick(w, u"+jump"_s);
        QCOMPARE(f.h.child<QLineEdit>("txtBind")->text(), u"impulse 1;+jump"_s);
        QCOMPARE(f.h.child<QLineEdit>("txtBind")->cursorPosition(), 15);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"+jump"_s);
        // Nothing selected: nothing happens.
        f.doubleClick(w, QString());
        QCOMPARE(f.h.child<QLineEdit>("txtBind")->text(), u"impulse 1;+jump"_s);
        // Through the real view, as a person double-clicks.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        child<QTreeWidget>(w, u"TreeView1"_s)->expandAll();
        const QRect r =
            child<QTreeWidget>(w, u"TreeView1"_s)
                ->visualItemRect(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItem(0)->child(0)->child(1));
        QTest::mouseClick(child<QTreeWidget>(w, u"TreeView1"_s)->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(child<QTreeWidget>(w, u"TreeView1"_s)->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.h.child<QLineEdit>("txtBind")->text(), u"impulse 1;+jump;say hello, world"_s);
    }

    // A command's tool tip: its text, then what its group's game says of its first word (a port,
    // where neither original game has it); both games for another group. Sections show their text.
    void commandToolTips_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("expected");
        const QString q = u"quake"_s;
        const QString q2 = u"quake2"_s;
        QTest::newRow("Quake variable") << u"cl_forwardspeed 400"_s
                                        << u"cl_forwardspeed 400\nQuake: "_s + description(q, "cl_forwardspeed") +
                                               u"\nDefault: \"200\""_s;
        QTest::newRow("a port's only") << u"r_scale 2"_s
                                       << u"r_scale 2\nQuakeSpasm, Ironwail and vkQuake: "_s +
                                              description(u"quakespasm"_s, "r_scale") + u"\nDefault: \"1\""_s;
        QTest::newRow("Quake 2's alone") << u"+moveup"_s << u"+moveup\nQuake 2: "_s + description(q2, "+moveup");
        QTest::newRow("other group, one game")
            << u"sky unit1_"_s << u"sky unit1_\nQuake 2: "_s + description(q2, "sky");
        QTest::newRow("other group, both games")
            << u"fov 90"_s
            << u"fov 90\nQuake: "_s + description(q, "fov") + u"\nDefault: \"90\"\nQuake 2: "_s +
                   description(q2, "fov") + u"\nDefault: \"90\""_s;
        QTest::newRow("section") << u"Moves"_s << u"Moves"_s;
    }

    void commandToolTips()
    {
        QFETCH(QString, node);
        QFETCH(QString, expected);
        Fixture f("//1.3\r\n{Quake}\r\n[Moves]\r\ncl_forwardspeed 400\r\nr_scale 2\r\nnosuchcommand\r\n{Quake2}\r\n"
                  "[Moves 2]\r\n+moveup\r\n{Other}\r\n[Any]\r\nsky unit1_\r\nfov 90\r\n");
        const QTreeWidgetItem *item = child<QTreeWidget>(f.open(), u"TreeView1"_s)
                                          ->findItems(node, Qt::MatchExactly | Qt::MatchRecursive)
                                          .value(0);
        QVERIFY(item);
        QCOMPARE(item->data(0, Qt::ToolTipRole).toString(), expected);
    }

    // Over the binding text, the command or variable under the pointer is described; elsewhere
    // the field keeps its own tool tip.
    void bindingToolTips_data()
    {
        QTest::addColumn<int>("at"); // the place in the text under the pointer
        QTest::addColumn<QString>("expected");
        const QString q = u"quake"_s;
        QTest::newRow("first command") << 3
                                       << u"+attack\nQuake: "_s + description(q, "+attack") + u"\nQuake 2: "_s +
                                              description(u"quake2"_s, "+attack");
        QTest::newRow("after a ';'") << 10
                                     << u"fov\nQuake: "_s + description(q, "fov") + u"\nDefault: \"90\"\nQuake 2: "_s +
                                            description(u"quake2"_s, "fov") + u"\nDefault: \"90\""_s;
        QTest::newRow("a value") << 14 << u"Binding Text"_s;
        QTest::newRow("in quotes, one game") << 27 << u"+jump\nQuake: "_s + description(q, "+jump");
    }

    void bindingToolTips()
    {
        QFETCH(int, at);
        QFETCH(QString, expected);
        vbu::test::MainWindowHarness h;
        QVERIFY(h.showActive());
        auto *binding = h.child<QLineEdit>("txtBind");
        binding->setText(u"+attack; fov 90; bind x \"+jump\""_s);
        const int y = binding->height() / 2;
        int x = 0;
        while (x < binding->width() && binding->cursorPositionAt({x, y}) != at)
            ++x;
        QVERIFY(x < binding->width());
        QHelpEvent hover(QEvent::ToolTip, {x, y}, binding->mapToGlobal(QPoint(x, y)));
        QApplication::sendEvent(binding, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), expected);
        QToolTip::hideText();
    }

    void switchesStayInStepWithTheWindows_data()
    {
        QTest::addColumn<QString>("steps");
        // c/f: the Options entries, C/F: toolbar buttons 12/13, x: the open window's close box.
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
            if (step == u'x') {
                QVERIFY((cmdOpen ? m.commandListSwitch() : m.funNameSwitch()).window()->close());
                cmdOpen = nameOpen = false;
            } else {
                // Either switch closes the other window and toggles its own.
                const bool cmd = step.toLower() == u'c';
                if (step.isLower())
                    (cmd ? cmdMenu : nameMenu)->trigger();
                else
                    f.h.toolbarButton(cmd ? "CmdList" : "FunName")->click();
                const bool wasOpen = cmd ? cmdOpen : nameOpen;
                cmdOpen = cmd && !wasOpen;
                nameOpen = !cmd && !wasOpen;
            }
            QCOMPARE(m.commandListSwitch().isOpen(), cmdOpen);
            QCOMPARE(m.funNameSwitch().isOpen(), nameOpen);
            QCOMPARE(cmdMenu->isChecked(), cmdOpen);
            QCOMPARE(f.h.toolbarButton("CmdList")->isChecked(), cmdOpen);
            QCOMPARE(nameMenu->isChecked(), nameOpen);
            QCOMPARE(f.h.toolbarButton("FunName")->isChecked(), nameOpen);
        }
        QCOMPARE(f.h.prompter.unexpected, 0);
    }

    // The update check. Every other test of it runs through the menu item, which works only when it is on.
    void updateNeedsAServerAndAConnection()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        QCOMPARE(child<QAction>(w, u"mnuCheck"_s)->text(), u"Check For List Updates"_s);
        QVERIFY(!child<QAction>(w, u"mnuCheck"_s)->isEnabled());
        // Even called directly while off, it neither asks nor sends anything.
        w->checkForUpdates();
        QVERIFY(f.h.prompter.asked.isEmpty());
        // Offered once the variable names a server, but it stops at once while offline.
        f.h.window->toggleCommandList();
        vbu::Detect::setOverride([] { return false; });
        f.check({Prompter::Ok});
        QCOMPARE(f.h.prompter.asked.size(), 1);
        compareMessage(f.message(0), u"Error: Not Connected"_s,
                       u"You must connect to the internet before checking for updates."_s, Prompter::Icon::Critical);
        QVERIFY(f.server.requests.isEmpty());
    }

    void updateComparesWholeVersions_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("tls");
        QTest::newRow("same") << local << "1.3"_ba << true << false;
        QTest::newRow("same, over https") << local << "1.3"_ba << true << true;
        QTest::newRow("line end from the server") << local << "1.3\r\n"_ba << false << false;
        QTest::newRow("high bytes") << "//1.3\xe9\r\n"_ba << QByteArray("1.3\xe9") << true << false;
    }

    void updateComparesWholeVersions()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(QByteArray, version);
        QFETCH(bool, current);
        QFETCH(bool, tls);
        Fixture f(catalogue, tls);
        f.server.answer("/version.txt", version);
        CommandsWindow *w = f.check({current ? Prompter::Ok : Prompter::No});
        QCOMPARE(f.h.prompter.asked.size(), 1);
        if (current)
            compareMessage(f.message(0), u"Current Version Installed"_s,
                           u"Your command list is current and does not need to be updated."_s,
                           Prompter::Icon::Information);
        else
            compareMessage(f.message(0), u"Update Available!"_s,
                           u"Your version is older than the one currently available.\r\nWould you like to download "
                           u"the new version?"_s,
                           Prompter::Icon::Exclamation, Prompter::Yes | Prompter::No, Prompter::Yes);
        QCOMPARE(f.server.requests, QByteArrayList{"/version.txt"});
        QCOMPARE(f.file(), catalogue);
        QVERIFY(child<QAction>(w, u"mnuCheck"_s)->isEnabled());
    }

    void updateYesReplacesTheFileOnly()
    {
        Fixture f;
        // A redirection that keeps the scheme is followed.
        f.server.route("/lists/version.txt", {.status = 301, .headers = {"Location: /v.txt"}});
        f.server.answer("/v.txt", "1.4");
        f.server.answer("/lists/commands.dat", remote);
        // The trailing slash of the variable is dropped.
        CommandsWindow *w = f.check({Prompter::Yes, Prompter::Ok}, f.server.url(u"/lists/"_s).toString());
        QCOMPARE(f.server.requests, (QByteArrayList{"/lists/version.txt", "/v.txt", "/lists/commands.dat"}));
        QCOMPARE(f.h.prompter.asked.size(), 2);
        QCOMPARE(f.message(0).title, u"Update Available!"_s);
        compareMessage(f.message(1), u"Kelmforge Update Util"_s, u"Update Completed Successfully!"_s,
                       Prompter::Icon::Information);
        QCOMPARE(f.file(), remote + "\r\n");
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
        // Not reloaded: the window keeps the list it opened with until the next opening.
        QCOMPARE(w->windowTitle(), u"Command List - v1.3"_s);
        QCOMPARE(w->catalogueVersion(), u"1.3"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 2);
    }

    // Every failure is reported with what went wrong and leaves commands.dat as it was.
    void updateFailuresLeaveTheFileAlone_data()
    {
        QTest::addColumn<QString>("base"); // empty for the test server
        QTest::addColumn<Route>("version");
        QTest::addColumn<Route>("list"); // status 0: the download is not offered
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("says");
        const Route none{0};
        const Route newer{200, "1.4"};
        const QString download = u"Error: Download Failed"_s;
        const QString invalid = u"Error: Invalid Update"_s;
        const QString refused = u"http://127.0.0.1:%1"_s.arg(UpdateServer::deadPort());
        const Route loop{302, {}, {"Location: /version.txt"}};
        const Route oversized{200, QByteArray(qsizetype(5) * 1024 * 1024, 'x'), {}, Route::Unsized};
        const Route webPage{200, "<html><body>Moved, see {here}</body></html>"};
        QTest::newRow("404") << u""_s << Route{404, "gone"} << none << download << u"status 404 (Not Found)"_s;
        QTest::newRow("time-out") << u""_s << Route{.kind = Route::Hold} << none << download
                                  << u"did not answer within 0.15 seconds"_s;
        QTest::newRow("refused") << refused << none << none << download << u"Connection refused"_s;
        QTest::newRow("redirect loop") << u""_s << loop << none << download << u"go round in a circle"_s;
        QTest::newRow("list past the limit") << u""_s << newer << oversized << download << u"larger than 4 MiB"_s;
        QTest::newRow("list is a web page") << u""_s << newer << webPage << invalid << u"no group"_s;
    }

    void updateFailuresLeaveTheFileAlone()
    {
        QFETCH(QString, base);
        QFETCH(Route, version);
        QFETCH(Route, list);
        QFETCH(QString, title);
        QFETCH(QString, says);
        Fixture f;
        // An answer held back runs into a short time-out.
        if (version.kind == Route::Hold)
            qputenv("VBU_UPDATE_TIMEOUT_MS", "150");
        f.server.route("/version.txt", version);
        const bool offered = list.status != 0;
        if (offered)
            f.server.route("/commands.dat", list);
        CommandsWindow *w = offered ? f.check({Prompter::Yes, Prompter::Ok}, base) : f.check({Prompter::Ok}, base);
        QCOMPARE(f.h.prompter.asked.size(), offered ? 2 : 1);
        const Prompter::Message &m = f.h.prompter.last().message;
        QCOMPARE(m.title, title);
        QVERIFY2(m.text.contains(says), qPrintable(m.text));
        QVERIFY2(m.text.endsWith(u"\r\nYour command list was not changed."_s), qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(f.file(), local);
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
        QVERIFY(child<QAction>(w, u"mnuCheck"_s)->isEnabled());
    }

    void updateCancelEndsTheWaitQuietly()
    {
        Fixture f;
        QPointer<vbu::UpdateWaitDialog> box;
        f.server.route("/version.txt",
                       {.kind = Route::Hold, .onRequest = [&] {
                            box = f.h.window->commandListSwitch().window()->findChild<vbu::UpdateWaitDialog *>(
                                u"dlgUpdateWait"_s);
                            QVERIFY(box && box->isVisible() && box->isModal());
                            QCOMPARE(child<QLabel>(box, u"lblStatus"_s)->text(), u"Checking for list updates..."_s);
                            child<QPushButton>(box, u"cmdCancel"_s)->click();
                        }});
        CommandsWindow *w = f.check({});
        QVERIFY(!box);
        QVERIFY(f.h.prompter.asked.isEmpty());
        QCOMPARE(f.file(), local);
        QVERIFY(child<QAction>(w, u"mnuCheck"_s)->isEnabled());
    }

    // Said once what became of the list: by the writer when there was one in its place.
    void updateNotSavedIsReported_data()
    {
        QTest::addColumn<bool>("pipe"); // else the folder goes
        QTest::addColumn<QString>("ending");
        QTest::newRow("folder gone") << false << u".\r\nYour command list was not changed."_s;
        QTest::newRow("a pipe in its place") << true << u"not a file. It was not changed."_s;
    }

    void updateNotSavedIsReported()
    {
        QFETCH(bool, pipe);
        QFETCH(QString, ending);
        Fixture f;
        QVERIFY(QDir(f.h.dir.path()).mkdir(u"program"_s));
        f.h.window->setCataloguePath(f.h.path(u"program/commands.dat"_s));
        vbu::test::writeAll(f.h.window->cataloguePath(), local);
        f.server.answer("/version.txt", "1.4");
        // While the list is on its way.
        f.server.route("/commands.dat", {200, remote, {}, Route::Answer, [&] {
                                             if (!pipe)
                                                 QVERIFY(QDir(f.h.dir.path()).rename(u"program"_s, u"moved"_s));
                                             else if (QFile::remove(f.h.window->cataloguePath()))
                                                 QCOMPARE(::mkfifo(qPrintable(f.h.window->cataloguePath()), 0600), 0);
                                         }});
        CommandsWindow *w = f.check({Prompter::Yes, Prompter::Ok});
        const Prompter::Message &m = f.h.prompter.last().message;
        QCOMPARE(m.title, u"Error: Update Not Saved"_s);
        QVERIFY2(m.text.startsWith(u"The new command list could not be written to "_s + w->cataloguePath()),
                 qPrintable(m.text));
        QVERIFY2(m.text.endsWith(ending) && m.text.count(u"changed"_s) == 1, qPrintable(m.text));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        if (!pipe)
            QCOMPARE(vbu::test::readAll(f.h.path(u"moved/commands.dat"_s)), local);
    }
};

QTEST_MAIN(TestCommandsWindow)
#include "tst_commandswindow.moc"
