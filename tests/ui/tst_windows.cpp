// The appearance and information windows: Change Colors, About and the splash.
#include "core/app/AppInfo.h"
#include "core/ui/SplashPicture.h"
#include "gui/ui/AboutDialog.h"
#include "gui/ui/ColorsDialog.h"
#include "gui/ui/ListColors.h"
#include "gui/ui/LogoBox.h"
#include "gui/ui/QtPrompter.h"
#include "gui/ui/SplashWindow.h"
#include "main/ProgramStart.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <memory>

using namespace Qt::StringLiterals;
using vbu::SplashWindow;
using vbu::test::child;

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QString listColors = u"#000080/#ffffe0"_s;

// "text/background" as each colour group has them: an inactive window must look the same.
QStringList colorsOf(const QWidget *widget)
{
    QStringList out;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QPalette &p = widget->palette();
        out.append(p.color(group, QPalette::Text).name() + u'/' + p.color(group, QPalette::Base).name());
    }
    return out;
}

// Text pixels: the white caption is brighter than any part of the strip behind it.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 220)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// A shown splash whose main window is a stand-in, noting how the splash stood when it was made.
struct Launcher
{
    Launcher()
        : splash(new SplashWindow(vbu::SplashPicture::render(), [this] {
              ++calls;
              atLaunch = child<QLabel>(splash, u"lblTimeLeft"_s)->text() +
                         (splash->isVisible() ? u", shown"_s : u", hidden"_s) +
                         (child<QTimer>(splash, u"Timer1"_s)->isActive() ? u", ticking"_s : u", stopped"_s);
              window = std::make_unique<QWidget>();
              return window.get();
          }))
    {
        splash->show();
    }

    std::unique_ptr<QWidget> window;
    QPointer<SplashWindow> splash;
    int calls = 0;
    QString atLaunch;
};

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        flushDeletes();
        vbu::test::verifyEveryQuestionAnswered();
    }

    void colorsSequences_data()
    {
        // Steps: fore=/back= the chooser's answer for Command1/Command2 (a colour or "cancel"), then
        // the buttons, the close box, Escape, or a new opening. No preview colours: the dialog is closed.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("preview");
        QTest::newRow("apply then cancel keeps what was applied")
            << u"fore=#ff0000 back=#00ff00 apply cancel"_s << u"#ff0000/#00ff00"_s << QString();
        QTest::newRow("OK applies both and closes")
            << u"fore=#ff0000 back=#00ff00 ok"_s << u"#ff0000/#00ff00"_s << QString();
        QTest::newRow("close box applies nothing")
            << u"fore=#ff0000 back=#00ff00 closebox"_s << listColors << QString();
        QTest::newRow("Escape applies nothing") << u"back=#00ff00 escape"_s << listColors << QString();
        QTest::newRow("chooser cancelled first: black") << u"fore=cancel"_s << listColors << u"#000000/#ffffe0"_s;
        QTest::newRow("cancelled after a choice: that choice")
            << u"fore=#ff0000 back=cancel"_s << listColors << u"#ff0000/#ff0000"_s;
        QTest::newRow("cancel applies nothing; the chooser forgets its colour")
            << u"fore=#ff0000 cancel reopen back=cancel"_s << listColors << u"#000080/#000000"_s;
    }

    void colorsSequences()
    {
        QFETCH(QString, steps);
        QFETCH(QString, list);
        QFETCH(QString, preview);
        static const QHash<QString, QString> buttons{
            {u"ok"_s, u"Command3"_s}, {u"cancel"_s, u"Command4"_s}, {u"apply"_s, u"Command5"_s}};
        vbu::test::MainWindowHarness harness;
        auto *lstBind = harness.child<QTreeView>("lstBind");
        vbu::ListColors::setForeColor(lstBind, QColor(0, 0, 128));
        vbu::ListColors::setBackColor(lstBind, QColor(255, 255, 224));
        QPointer<vbu::ColorsDialog> dialog;
        QColor chooser;
        const auto open = [&] {
            harness.action("mnuEditColors")->trigger();
            dialog = harness.window->findChild<vbu::ColorsDialog *>(u"frmColor"_s);
            chooser = Qt::black;
            // The handler has returned with the dialog up: nothing waits on it.
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
            QCOMPARE(dialog->parentWidget(), harness.window.get());
            QCOMPARE(colorsOf(child<QLineEdit>(dialog, u"Text1"_s)), QStringList(3, listColors));
        };
        open();
        QCOMPARE(dialog->windowTitle(), u"Change Colors"_s);
        QCOMPARE(child<QLineEdit>(dialog, u"Text1"_s)->text(), u"Vantor's Bind Utility"_s);
        QStringList captions;
        for (int i = 1; i <= 5; ++i)
            captions.append(dialog->findChild<QPushButton *>(u"Command"_s + QString::number(i))->text());
        QCOMPARE(captions.join(u'|'), u"Change List Font Color|Change List BackColor|OK|Cancel|Apply"_s);

        for (const QString &step : steps.split(u' ')) {
            QVERIFY2(dialog || step == u"reopen"_s, qPrintable(step));
            const QString answer = step.mid(5);
            if (step.startsWith(u"fore="_s) || step.startsWith(u"back="_s)) {
                harness.prompter.answerColor(answer == u"cancel"_s ? std::nullopt
                                                                   : std::optional<QColor>(QColor(answer)));
                dialog->findChild<QPushButton *>(step.startsWith(u"fore"_s) ? u"Command1"_s : u"Command2"_s)->click();
                // The chooser opens black, then with the last colour chosen in this opening.
                QCOMPARE(harness.prompter.asked.last().initial, chooser);
                chooser = answer == u"cancel"_s ? chooser : QColor(answer);
            } else if (buttons.contains(step)) {
                dialog->findChild<QPushButton *>(buttons.value(step))->click();
            } else if (step == u"closebox"_s) {
                dialog->close();
            } else if (step == u"escape"_s) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else {
                QCOMPARE(step, u"reopen"_s);
                QVERIFY(!dialog);
                open();
            }
            flushDeletes();
        }
        QCOMPARE(colorsOf(lstBind), QStringList(3, list));
        QCOMPARE(!dialog, preview.isEmpty());
        if (dialog)
            QCOMPARE(colorsOf(child<QLineEdit>(dialog, u"Text1"_s)), QStringList(3, preview));
    }

    // The texts are built on each opening; a second opening must not add to them.
    void aboutOpensWithTheSameTextsEachTime()
    {
        const QStringList expected{
            u"About Vantor's Bind Utility"_s,
            u"Vantor's Bind Utility"_s,
            u"Version 0.97.0"_s,
            u"Questions? Comments? Rants? Raves?\r\nAny of the above constitute an E-Mail to me.\r\n "_s +
                vbu::AppInfo::contactAddress() +
                u" \r\nLet me know what you think, hate, love. Any the input is appriciated."_s,
            u"Warning: ...\r\nWritten for Quake and Quake2 players.\r\nC++ and Qt; free to use, copy and share.\r\n"
            "Quake is a trademark of id Software."_s,
        };
        vbu::test::MainWindowHarness harness;
        QVERIFY(harness.showActive());
        for (const bool byKey : {true, false}) {
            if (byKey)
                QTest::keyClick(harness.window.get(), Qt::Key_F1);
            else
                harness.toolbarButton("About")->click();
            QPointer<vbu::AboutDialog> about = harness.window->findChild<vbu::AboutDialog *>(u"frmAbout"_s);
            QVERIFY(about && about->isVisible());
            QCOMPARE(about->windowModality(), Qt::ApplicationModal);
            QStringList texts{about->windowTitle()};
            for (const char *name : {"lblTitle", "lblVersion", "lblDescription", "lblDisclaimer"})
                texts.append(about->findChild<QLabel *>(QLatin1StringView(name))->text());
            QCOMPARE(texts, expected);
            // OK closes and unloads it.
            about->findChild<QPushButton *>(u"cmdOK"_s)->click();
            flushDeletes();
            QVERIFY(!about);
        }
    }

    // Its own picture from the top left, a countdown of two ticks, then the main window; a key that
    // types something closes it at once without opening anything.
    void splashCountsDownOrClosesOnAKey()
    {
        Launcher launcher;
        SplashWindow *splash = launcher.splash;
        const QImage picture = vbu::SplashPicture::render();
        const QImage shown = splash->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Clear of the countdown label: picture pixels, unmoved.
        for (const QPoint at : {QPoint(514, 258), QPoint(300, 128), QPoint(5, 200), QPoint(100, 14)})
            QCOMPARE(shown.pixel(at), picture.pixel(at));
        // A picture, not a flat fill: many distinct colours.
        QSet<QRgb> colours;
        for (int i = 0; i < picture.width() * picture.height(); i += 7)
            colours.insert(picture.pixel(i % picture.width(), i / picture.width()));
        QVERIFY(colours.size() > 1000);

        QCOMPARE(child<QLabel>(splash, u"lblTimeLeft"_s)->text(), u"5 Seconds Left"_s);
        QCOMPARE(child<QTimer>(splash, u"Timer1"_s)->interval(), 1000);
        splash->tick();
        QCOMPARE(child<QLabel>(splash, u"lblTimeLeft"_s)->text(), u"1 Seconds Left"_s);
        // A key that types nothing is no key press of the window.
        QTest::keyClick(splash, Qt::Key_Shift);
        QVERIFY(splash->isVisible());
        QCOMPARE(launcher.calls, 0);
        // The second tick from the timer itself, as fast as the event loop goes.
        child<QTimer>(splash, u"Timer1"_s)->setInterval(0);
        QTRY_VERIFY(!launcher.splash);
        QCOMPARE(launcher.calls, 1);
        // The main window starts while the splash still stands, showing its last count, and no
        // further tick can arrive meanwhile.
        QCOMPARE(launcher.atLaunch, u"0 Seconds Left, shown, stopped"_s);
        QVERIFY(launcher.window->isVisible());

        // Tab types a character, and the window sees it before focus handling does.
        Launcher byKey;
        byKey.splash->tick();
        QTest::keyClick(byKey.splash, Qt::Key_Tab);
        flushDeletes();
        QVERIFY(!byKey.splash);
        QCOMPARE(byKey.calls, 0);
    }

    // The program's way in: the main window is made while the splash counts down, yet starts up
    // (logo, recent files, the file named) and shows only when the countdown ends. A key that
    // closes the splash leaves it unstarted.
    void mainWindowWaitsBehindTheSplash()
    {
        vbu::test::clearRecentFiles();
        QTemporaryDir dir;
        const QString name = dir.filePath(u"autoexec.cfg"_s);
        vbu::test::writeAll(name, "bind a +jump\r\n");
        vbu::test::FakePrompter prompter;
        const auto splashOf = [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *splash = qobject_cast<SplashWindow *>(widget); splash && splash->isVisible())
                    return QPointer<SplashWindow>(splash);
            }
            return QPointer<SplashWindow>();
        };
        {
            vbu::ProgramStart start(prompter, {name});
            QSignalSpy ended(&start, &vbu::ProgramStart::countdownEnded);
            start.showSplash();
            // Not before the splash is up: the window would hold it back.
            QVERIFY(!start.mainWindow());
            const QPointer<SplashWindow> splash = splashOf();
            QVERIFY(splash);
            QTRY_VERIFY(start.mainWindow());
            vbu::MainWindow *window = start.mainWindow();
            QVERIFY(!window->isVisible());
            QCOMPARE(window->script().count(), 0);
            QCOMPARE(window->caption(), vbu::AppInfo::title());
            QVERIFY(window->recentFiles().files().isEmpty());
            const QImage unpainted = child<vbu::LogoBox>(window, u"picLogo"_s)->image();
            QCOMPARE(ended.count(), 0);

            child<QTimer>(splash, u"Timer1"_s)->setInterval(0);
            QTRY_VERIFY(window->isVisible());
            flushDeletes();
            QVERIFY(!splash);
            QCOMPARE(start.mainWindow(), window);
            QCOMPARE(ended.count(), 1);
            QCOMPARE(window->script().lines().toList(), QByteArrayList{"bind a +jump"});
            QCOMPARE(window->caption(), name);
            QCOMPARE(window->recentFiles().files(), QStringList{name});
            QVERIFY(child<vbu::LogoBox>(window, u"picLogo"_s)->image() != unpainted);
        }
        vbu::test::clearRecentFiles();
        vbu::ProgramStart start(prompter, {name});
        start.showSplash();
        const QPointer<SplashWindow> splash = splashOf();
        QTRY_VERIFY(start.mainWindow());
        QTest::keyClick(splash, Qt::Key_A);
        flushDeletes();
        QVERIFY(!splash);
        QVERIFY(!start.mainWindow()->isVisible());
        QCOMPARE(start.mainWindow()->script().count(), 0);
        QVERIFY(start.mainWindow()->recentFiles().files().isEmpty());
    }

    void mainWindowPaintsItsStripAtStartUp()
    {
        // A button face of a known colour, where the strip ends.
        const QPalette saved = QApplication::palette();
        QPalette palette = saved;
        palette.setColor(QPalette::Button, QColor(240, 200, 100));
        QApplication::setPalette(palette);
        const auto restore = qScopeGuard([&saved] { QApplication::setPalette(saved); });
        vbu::test::MainWindowHarness harness;
        auto *box = harness.child<vbu::LogoBox>("picLogo");
        const QImage image = box->image();
        QCOMPARE(image.pixel(15, 0) & 0xFFFFFF, qRgb(239, 199, 99) & 0xFFFFFF);
        // The caption's cell starts at y = 332 and grows upwards, its top towards x = 0.
        const QRect ink = inkBounds(image);
        QVERIFY2(ink.bottom() <= 348 - 16 && ink.bottom() >= 348 - 16 - 4, qPrintable(QString::number(ink.bottom())));
        QVERIFY(ink.height() > 3 * ink.width() && ink.height() > 80);
        QVERIFY(ink.left() <= 4);
        // Shown from the kept image, not painted again.
        QCOMPARE(box->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    }

    // The real dialogs, closed once up: none leaves Qt's settings file behind, and the input box
    // shows a whole script line.
    void realQuestions_data()
    {
        QTest::addColumn<QString>("question");
        for (const QString &question : {u"open"_s, u"save"_s, u"colour"_s, u"edit"_s})
            QTest::newRow(qPrintable(question)) << question;
    }

    void realQuestions()
    {
        QFETCH(QString, question);
        const QString qtSettings =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/QtProject.conf"_s;
        QFile::remove(qtSettings);
        const QString line = u"bind mouse2 \"+attack;wait;-attack;impulse 7;say_team up\""_s;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            closer.stop();
            const auto close = qScopeGuard([dialog] { dialog->reject(); });
            for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
                if (b->text() == u"&Add to Custom Colors"_s)
                    b->click();
            }
            if (question == u"edit"_s) {
                const auto *field = dialog->findChild<QLineEdit *>();
                QVERIFY(field->text() == line &&
                        field->fontMetrics().horizontalAdvance(line) < field->contentsRect().width());
            }
        });
        closer.start(10);
        vbu::QtPrompter prompter;
        if (question == u"colour"_s)
            QVERIFY(!prompter.color(nullptr, Qt::red));
        else if (question == u"edit"_s)
            QVERIFY(prompter.input(nullptr, u"Enter the updated text."_s, u"Edit Command"_s, line).isEmpty());
        else
            QVERIFY(
                prompter
                    .fileName(nullptr, {question == u"save"_s, u"Save"_s, u"All Files|*"_s, {}, QDir::tempPath(), {}})
                    .isEmpty());
        QVERIFY(!closer.isActive());
        QVERIFY(!QFile::exists(qtSettings));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
