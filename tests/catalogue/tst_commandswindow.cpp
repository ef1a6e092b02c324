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

// The last command is wider than the tree.
const QByteArray local =
    "//1.3\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n\r\n\"say hello, world\"\r\n{Moves}\r\n[Jump]\r\n+jump\r\n"
    "cl_forwardspeed 400;cl_backspeed 400;cl_sidespeed 350\r\n";
const QByteArray remote = "//1.4\r\n{Weapons}\r\n[Axe]\r\nimpulse 1\r\n";

struct Fixture
{
    explicit Fixture(const QByteArray &catalogue = local, bool tls = false) : server(tls)
    {
        vbu::Detect::setOverride([] { return true; });
        // No test here waits this long; a broken one fails instead of hanging.
        qputenv("VBU_UPDATE_TIMEOUT_MS", "5000");
        h.window->setCataloguePath(h.path(u"commands.dat"_s));
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
    // Double-clicks the node with that text in the shown window, as a person does, and hands it back.
    static QTreeWidgetItem *doubleClick(CommandsWindow *w, const QString &text)
    {
        auto *tree = child<QTreeWidget>(w, u"TreeView1"_s);
        tree->expandAll();
        QTreeWidgetItem *item = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        // Near its left: the column is as wide as the widest text, wider than the tree.
        const QPoint at = tree->visualItemRect(item).topLeft() + QPoint(5, 5);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
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
        QCOMPARE(shown,
                 u"Weapons@1 {Weapons\n  Axe@1 [Axe\n    impulse 1@3 \n    say hello, world@3 \nMoves@1 {Moves\n"
                 u"  Jump@1 [Jump\n    +jump@3 \n    cl_forwardspeed 400;cl_backspeed 400;cl_sidespeed 350@3 \n"_s);
        // 10 records (the empty one counts) against a maximum of 11, one step per node of 8, then 0.
        QCOMPARE(f.h.child<QProgressBar>("Progress")->maximum(), 11);
        QList<int> seen;
        for (const auto &v : values)
            seen.append(v.at(0).toInt());
        QCOMPARE(seen, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 0}));

        f.h.window->toggleCommandList();
        vbu::test::writeAll(f.h.window->cataloguePath(), "//2.0\r\n{Only}\r\n");
        w = f.open();
        QCOMPARE(w->windowTitle(), u"Command List - v2.0"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 1);

        // Gone: reported, and the window still opens.
        f.h.window->toggleCommandList();
        QVERIFY(QFile::remove(f.h.window->cataloguePath()));
        f.h.prompter.answerMessage(Prompter::Ok);
        w = f.open();
        QCOMPARE(f.h.prompter.asked.size(), 1);
        compareMessage(f.message(0), u"Error Opening File"_s,
                       u"Critical System File could not be found.Please reinstall and try again.\r\nIf problem "
                       u"persists please contact: "_s +
                           vbu::AppInfo::contactAddress(),
                       Prompter::Icon::Critical);
        QCOMPARE(w->windowTitle(), u"Command List - v"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 0);
    }

    void doubleClicksAndScrolling()
    {
        Fixture f;
        CommandsWindow *w = f.open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        // On a group or section, the image toggles and nothing else happens.
        for (const QString &name : {u"Weapons"_s, u"Axe"_s}) {
            QCOMPARE(f.doubleClick(w, name)->data(0, CommandsWindow::ImageRole).toInt(), 2);
            QCOMPARE(f.doubleClick(w, name)->data(0, CommandsWindow::ImageRole).toInt(), 1);
        }
        auto *binding = f.h.child<QLineEdit>("txtBind");
        QVERIFY(binding->text().isEmpty());
        // On a command, it goes through the clipboard into the binding text, joined by ";".
        f.doubleClick(w, u"say hello, world"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"say hello, world"_s);
        f.doubleClick(w, u"+jump"_s);
        QCOMPARE(binding->text(), u"say hello, world;+jump"_s);
        QCOMPARE(binding->cursorPosition(), 22);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"+jump"_s);
        // The widest command lies within the width the tree scrolls over.
        auto *tree = child<QTreeWidget>(w, u"TreeView1"_s);
        const QString wide = u"cl_forwardspeed 400;cl_backspeed 400;cl_sidespeed 350"_s;
        const QRect r = tree->visualItemRect(tree->findItems(wide, Qt::MatchExactly | Qt::MatchRecursive).value(0));
        QTRY_VERIFY(tree->horizontalScrollBar()->maximum() + tree->viewport()->width() >
                    r.left() + tree->fontMetrics().horizontalAdvance(wide));
    }

    // A command's tool tip: its text, then what its group's game says of its first word (a port,
    // where neither original game has it); both games for another group. Groups and sections show
    // their text.
    void toolTips()
    {
        Fixture f("//1.3\r\n{Quake}\r\n[Moves]\r\ncl_forwardspeed 400\r\nr_scale 2\r\nnosuchcommand\r\n{Quake2}\r\n"
                  "[Moves 2]\r\n+moveup\r\n{Other}\r\n[Any]\r\nsky unit1_\r\nfov 90\r\n");
        QStringList shown;
        for (QTreeWidgetItemIterator it(child<QTreeWidget>(f.open(), u"TreeView1"_s)); *it; ++it)
            shown.append((*it)->toolTip(0));
        const QString q = u"quake"_s;
        const QString q2 = u"quake2"_s;
        const QString fov = u"Quake: "_s + description(q, "fov") + u"\nDefault: \"90\"\nQuake 2: "_s +
                            description(q2, "fov") + u"\nDefault: \"90\""_s;
        QCOMPARE(shown, (QStringList{u"Quake"_s, u"Moves"_s,
                                     u"cl_forwardspeed 400\nQuake: "_s + description(q, "cl_forwardspeed") +
                                         u"\nDefault: \"200\""_s,
                                     u"r_scale 2\nQuakeSpasm, Ironwail and vkQuake: "_s +
                                         description(u"quakespasm"_s, "r_scale") + u"\nDefault: \"1\""_s,
                                     u"nosuchcommand"_s, u"Quake2"_s, u"Moves 2"_s,
                                     u"+moveup\nQuake 2: "_s + description(q2, "+moveup"), u"Other"_s, u"Any"_s,
                                     u"sky unit1_\nQuake 2: "_s + description(q2, "sky"), u"fov 90\n"_s + fov}));

        // Over the binding text, the command or variable under the pointer is described (the text
        // read as both games read it); elsewhere the field keeps its own tool tip.
        QVERIFY(f.h.showActive());
        auto *binding = f.h.child<QLineEdit>("txtBind");
        binding->setText(u"+attack; fov 90; bind x \"+jump\""_s);
        const int y = binding->height() / 2;
        shown.clear();
        for (const int at : {3, 10, 14, 27}) {
            int x = 0;
            while (x < binding->width() && binding->cursorPositionAt({x, y}) != at)
                ++x;
            QHelpEvent hover(QEvent::ToolTip, {x, y}, binding->mapToGlobal(QPoint(x, y)));
            QApplication::sendEvent(binding, &hover);
            QTRY_VERIFY(QToolTip::isVisible());
            shown.append(QToolTip::text());
        }
        QToolTip::hideText();
        QCOMPARE(shown,
                 (QStringList{u"+attack\nQuake: "_s + description(q, "+attack") + u"\nQuake 2: "_s +
                                  description(q2, "+attack"),
                              u"fov\n"_s + fov, u"Binding Text"_s, u"+jump\nQuake: "_s + description(q, "+jump")}));
    }

    // Either switch closes the other window and toggles its own; the menu entries and the toolbar
    // buttons show which window is open, whichever way it came or went.
    void switchesStayInStepWithTheWindows()
    {
        Fixture f;
        vbu::MainWindow &m = *f.h.window;
        QAction *cmdMenu = f.h.action("mnuCommandList");
        QAction *nameMenu = f.h.action("mnuFunName");
        // c/f: the Options entries, C/F: toolbar buttons 12/13, x: the open window's close box; after
        // each step the Command List (c), the Fun Name Editor (f) or neither (-) is open.
        const QString steps = u"cfCxFxcCff"_s;
        const QString open = u"cfc-f-c-f-"_s;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QChar step = steps.at(i);
            if (step == u'x')
                QVERIFY((m.commandListSwitch().isOpen() ? m.commandListSwitch() : m.funNameSwitch()).window()->close());
            else if (step.isLower())
                (step == u'c' ? cmdMenu : nameMenu)->trigger();
            else
                f.h.toolbarButton(step == u'C' ? "CmdList" : "FunName")->click();
            const bool cmdOpen = m.commandListSwitch().isOpen();
            const bool nameOpen = m.funNameSwitch().isOpen();
            QCOMPARE(QChar(cmdOpen ? (nameOpen ? u'b' : u'c') : (nameOpen ? u'f' : u'-')), open.at(i));
            QVERIFY(cmdMenu->isChecked() == cmdOpen && f.h.toolbarButton("CmdList")->isChecked() == cmdOpen);
            QVERIFY(nameMenu->isChecked() == nameOpen && f.h.toolbarButton("FunName")->isChecked() == nameOpen);
        }
    }

    // The update check, through the menu item: offered once the variable names a server, stopped
    // at once while offline, cancelled while it waits, and then on Yes the list replaces the file,
    // and only that.
    void updateThroughTheMenu()
    {
        Fixture f(local, true);
        CommandsWindow *w = f.open();
        QCOMPARE(child<QAction>(w, u"mnuCheck"_s)->text(), u"Check For List Updates"_s);
        QVERIFY(!child<QAction>(w, u"mnuCheck"_s)->isEnabled());
        // Even called directly while off, it neither asks nor sends anything.
        w->checkForUpdates();
        QVERIFY(f.h.prompter.asked.isEmpty());
        f.h.window->toggleCommandList();
        vbu::Detect::setOverride([] { return false; });
        f.check({Prompter::Ok});
        QCOMPARE(f.h.prompter.asked.size(), 1);
        compareMessage(f.message(0), u"Error: Not Connected"_s,
                       u"You must connect to the internet before checking for updates."_s, Prompter::Icon::Critical);
        QVERIFY(f.server.requests.isEmpty());

        // Cancel ends the wait quietly.
        f.h.window->toggleCommandList();
        vbu::Detect::setOverride([] { return true; });
        QPointer<vbu::UpdateWaitDialog> box;
        f.server.route("/version.txt",
                       {.kind = Route::Hold, .onRequest = [&] {
                            box = f.h.window->commandListSwitch().window()->findChild<vbu::UpdateWaitDialog *>(
                                u"dlgUpdateWait"_s);
                            QVERIFY(box && box->isVisible() && box->isModal());
                            QCOMPARE(child<QLabel>(box, u"lblStatus"_s)->text(), u"Checking for list updates..."_s);
                            child<QPushButton>(box, u"cmdCancel"_s)->click();
                        }});
        f.check({});
        QVERIFY(!box);
        QCOMPARE(f.h.prompter.asked.size(), 1);

        f.h.window->toggleCommandList();
        // Over https; a redirection that keeps the scheme is followed.
        f.server.route("/lists/version.txt", {.status = 301, .headers = {"Location: /v.txt"}});
        f.server.answer("/v.txt", "1.4");
        f.server.answer("/lists/commands.dat", remote);
        // The trailing slash of the variable is dropped.
        w = f.check({Prompter::Yes, Prompter::Ok}, f.server.url(u"/lists/"_s).toString());
        QCOMPARE(f.server.requests,
                 (QByteArrayList{"/version.txt", "/lists/version.txt", "/v.txt", "/lists/commands.dat"}));
        QCOMPARE(f.h.prompter.asked.size(), 3);
        compareMessage(f.message(1), u"Update Available!"_s,
                       u"Your version is older than the one currently available.\r\nWould you like to download "
                       u"the new version?"_s,
                       Prompter::Icon::Exclamation, Prompter::Yes | Prompter::No, Prompter::Yes);
        compareMessage(f.message(2), u"Kelmforge Update Util"_s, u"Update Completed Successfully!"_s,
                       Prompter::Icon::Information);
        QCOMPARE(f.file(), remote + "\r\n");
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
        // Not reloaded: the window keeps the list it opened with until the next opening.
        QCOMPARE(w->windowTitle(), u"Command List - v1.3"_s);
        QCOMPARE(w->catalogueVersion(), u"1.3"_s);
        QCOMPARE(child<QTreeWidget>(w, u"TreeView1"_s)->topLevelItemCount(), 2);
    }

    // Versions are compared whole; every failure is reported with what went wrong. Either way
    // commands.dat stays as it was.
    void updateEndsWithAMessage_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QString>("base"); // empty for the test server
        QTest::addColumn<Route>("version");
        QTest::addColumn<Route>("list"); // status 0: the download is not offered, or declined
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("says");
        const Route none{0};
        const Route newer{200, "1.4"};
        const QString download = u"Error: Download Failed"_s;
        const QString refused = u"http://127.0.0.1:%1"_s.arg(UpdateServer::deadPort());
        const Route loop{302, {}, {"Location: /version.txt"}};
        const Route oversized{200, QByteArray(qsizetype(5) * 1024 * 1024, 'x'), {}, Route::Unsized};
        const Route webPage{200, "<html><body>Moved, see {here}</body></html>"};
        QTest::newRow("the same, high bytes")
            << "//1.3\xe9\r\n"_ba << u""_s << Route{200, "1.3\xe9"} << none << u"Current Version Installed"_s
            << u"Your command list is current and does not need to be updated."_s;
        QTest::newRow("line end from the server, declined")
            << local << u""_s << Route{200, "1.3\r\n"} << none << u"Update Available!"_s << u"older"_s;
        QTest::newRow("404") << local << u""_s << Route{404, "gone"} << none << download << u"status 404 (Not Found)"_s;
        QTest::newRow("time-out") << local << u""_s << Route{.kind = Route::Hold} << none << download
                                  << u"did not answer within 0.15 seconds"_s;
        QTest::newRow("refused") << local << refused << none << none << download << u"Connection refused"_s;
        QTest::newRow("redirect loop") << local << u""_s << loop << none << download << u"go round in a circle"_s;
        QTest::newRow("list past the limit")
            << local << u""_s << newer << oversized << download << u"larger than 4 MiB"_s;
        QTest::newRow("list is a web page")
            << local << u""_s << newer << webPage << u"Error: Invalid Update"_s << u"no group"_s;
    }

    void updateEndsWithAMessage()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(QString, base);
        QFETCH(Route, version);
        QFETCH(Route, list);
        QFETCH(QString, title);
        QFETCH(QString, says);
        Fixture f(catalogue);
        // An answer held back runs into a short time-out.
        if (version.kind == Route::Hold)
            qputenv("VBU_UPDATE_TIMEOUT_MS", "150");
        f.server.route("/version.txt", version);
        f.server.route("/commands.dat", list);
        const bool offered = list.status != 0;
        const bool declined = title == "Update Available!"_L1;
        CommandsWindow *w = offered ? f.check({Prompter::Yes, Prompter::Ok}, base)
                                    : f.check({declined ? Prompter::No : Prompter::Ok}, base);
        QCOMPARE(f.h.prompter.asked.size(), offered ? 2 : 1);
        const Prompter::Message &m = f.h.prompter.last().message;
        QCOMPARE(m.title, title);
        QVERIFY2(m.text.contains(says), qPrintable(m.text));
        const bool failed = title.startsWith("Error"_L1);
        QVERIFY2(!failed || m.text.endsWith(u"\r\nYour command list was not changed."_s), qPrintable(m.text));
        if (!declined) {
            QCOMPARE(m.icon, failed ? Prompter::Icon::Critical : Prompter::Icon::Information);
            QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        }
        QCOMPARE(f.file(), catalogue);
        QCOMPARE(QDir(f.h.dir.path()).entryList(QDir::Files), QStringList{u"commands.dat"_s});
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
