#include "core/ui/SplashPicture.h"
#include "gui/app/MainWindow.h"
#include "gui/ui/SplashWindow.h"
#include "support/FakePrompter.h"
#include "support/MainWindowHarness.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using vbu::SplashWindow;

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Stands in for main.cpp: makes the real main window and notes what the splash showed then.
struct Launcher
{
    SplashWindow::MainWindowFactory factory()
    {
        return [this]() -> QWidget * {
            ++calls;
            if (splash) {
                captionAtLaunch = splash->lblTimeLeft()->text();
                splashVisibleAtLaunch = splash->isVisible();
            }
            window = std::make_unique<vbu::MainWindow>(prompter, QString());
            return window.get();
        };
    }

    vbu::test::FakePrompter prompter;
    std::unique_ptr<vbu::MainWindow> window;
    QPointer<SplashWindow> splash;
    int calls = 0;
    QString captionAtLaunch;
    bool splashVisibleAtLaunch = false;
};

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void designValues();
    void countsDownTwoTicksThenOpensTheMainWindow();
    void timerDrivesTheCountdown();
    void keyPressClosesWithoutOpening_data();
    void keyPressClosesWithoutOpening();
    void showsThePictureFromTheTopLeft();
    void pictureIsTheSameOnEveryRun();
};

void TestSplash::initTestCase()
{
    vbu::test::clearRecentFiles();
}

void TestSplash::cleanup()
{
    flushDeletes();
}

void TestSplash::designValues()
{
    Launcher launcher;
    auto *splash = new SplashWindow(launcher.factory());
    launcher.splash = splash;
    QCOMPARE(splash->objectName(), u"frmSplash"_s);
    QVERIFY(splash->windowTitle().isEmpty());
    QVERIFY(!splash->windowFlags().testFlag(Qt::WindowTitleHint));
    QCOMPARE(splash->size(), QSize(515, 259));
    QCOMPARE(splash->minimumSize(), splash->maximumSize());
    QCOMPARE(splash->lblTimeLeft()->objectName(), u"lblTimeLeft"_s);
    QCOMPARE(splash->lblTimeLeft()->geometry(), QRect(0, 0, 91, 13));
    QCOMPARE(splash->lblTimeLeft()->text(), u"5 Seconds Left"_s);
    QCOMPARE(splash->Timer1()->objectName(), u"Timer1"_s);
    QCOMPARE(splash->Timer1()->interval(), 1000);
    QVERIFY(splash->Timer1()->isActive());
    QCOMPARE(splash->counter(), 2);
    QVERIFY(splash->testAttribute(Qt::WA_DeleteOnClose));
    delete splash;
    QCOMPARE(launcher.calls, 0);
}

void TestSplash::countsDownTwoTicksThenOpensTheMainWindow()
{
    Launcher launcher;
    auto *splash = new SplashWindow(launcher.factory());
    launcher.splash = splash;
    splash->show();

    splash->Timer1_Timer();
    QCOMPARE(splash->lblTimeLeft()->text(), u"1 Seconds Left"_s);
    QCOMPARE(splash->counter(), 1);
    QCOMPARE(launcher.calls, 0);
    QVERIFY(splash->isVisible());

    splash->Timer1_Timer();
    QCOMPARE(launcher.calls, 1);
    // The main window starts while the splash still stands, showing its last count.
    QCOMPARE(launcher.captionAtLaunch, u"0 Seconds Left"_s);
    QVERIFY(launcher.splashVisibleAtLaunch);
    QVERIFY(launcher.window);
    QVERIFY(launcher.window->isVisible());
    QVERIFY(!launcher.window->parentWidget());
    QVERIFY(!splash->isVisible());
    QVERIFY(!splash->Timer1()->isActive());
    flushDeletes();
    QVERIFY(!launcher.splash);
}

void TestSplash::timerDrivesTheCountdown()
{
    Launcher launcher;
    auto *splash = new SplashWindow(launcher.factory());
    launcher.splash = splash;
    splash->show();
    // Ticks as fast as the event loop goes; only the wiring is under test here.
    splash->Timer1()->setInterval(0);
    QTRY_VERIFY(!launcher.splash);
    QCOMPARE(launcher.calls, 1);
    QVERIFY(launcher.window && launcher.window->isVisible());
}

void TestSplash::keyPressClosesWithoutOpening_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("letter") << int(Qt::Key_A) << true;
    QTest::newRow("space") << int(Qt::Key_Space) << true;
    QTest::newRow("enter") << int(Qt::Key_Return) << true;
    QTest::newRow("escape") << int(Qt::Key_Escape) << true;
    QTest::newRow("tab") << int(Qt::Key_Tab) << true;
    // Keys that type nothing are not key presses of the window.
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << false;
    QTest::newRow("arrow") << int(Qt::Key_Left) << false;
}

void TestSplash::keyPressClosesWithoutOpening()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    Launcher launcher;
    auto *splash = new SplashWindow(launcher.factory());
    launcher.splash = splash;
    splash->show();
    splash->Timer1_Timer();
    QTest::keyClick(splash, Qt::Key(key));
    flushDeletes();
    QCOMPARE(!launcher.splash, closes);
    QCOMPARE(launcher.calls, 0);
    QVERIFY(!launcher.window);
    if (!closes) {
        QCOMPARE(splash->counter(), 1);
        delete splash;
    }
}

void TestSplash::showsThePictureFromTheTopLeft()
{
    auto *splash = new SplashWindow(nullptr);
    const QImage shown = splash->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = vbu::SplashPicture::render();
    QCOMPARE(shown.size(), QSize(515, 259));
    // Clear of the countdown label: picture pixels, unmoved.
    for (const QPoint at : {QPoint(514, 258), QPoint(300, 128), QPoint(5, 200), QPoint(100, 14)})
        QCOMPARE(shown.pixel(at), picture.pixel(at));
    delete splash;
}

void TestSplash::pictureIsTheSameOnEveryRun()
{
    const QImage picture = vbu::SplashPicture::render();
    QCOMPARE(picture.size(), QSize(517, 259));
    QCOMPARE(vbu::SplashPicture::render(), picture);
    // A picture, not a flat fill: many distinct colours.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3) {
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    }
    QVERIFY(colours.size() > 1000);
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
