#include "core/app/AppInfo.h"
#include "gui/ui/AboutDialog.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::AboutDialog;
using vbu::test::MainWindowHarness;

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Texts
{
    QString caption;
    QString title;
    QString version;
    QString description;
    QString disclaimer;
};

Texts textsOf(const AboutDialog *about)
{
    const auto text = [about](const char *name) {
        const auto *label = about->findChild<QLabel *>(QLatin1StringView(name));
        return label ? label->text() : u"<missing>"_s;
    };
    return {about->windowTitle(), text("lblTitle"), text("lblVersion"), text("lblDescription"), text("lblDisclaimer")};
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void opensFromMenuShortcutAndToolbar_data();
    void opensFromMenuShortcutAndToolbar();
    void showsTheProgramsTexts();
    void sameTextsWhenOpenedAgain();
    void titleLooksAsDesigned();
    void okClosesAndUnloads();
    void iconIsDrawnOnATransparentGround();
};

void TestAbout::opensFromMenuShortcutAndToolbar_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu") << u"menu"_s;
    QTest::newRow("F1") << u"F1"_s;
    QTest::newRow("toolbar") << u"toolbar"_s;
}

void TestAbout::opensFromMenuShortcutAndToolbar()
{
    QFETCH(QString, how);
    MainWindowHarness harness;
    QAction *entry = harness.action("mnuAbout");
    QVERIFY(entry);
    QCOMPARE(entry->text(), u"&About..."_s);
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F1));
    if (how == u"menu"_s) {
        entry->trigger();
    } else if (how == u"F1"_s) {
        QVERIFY(harness.showActive());
        QTest::keyClick(harness.window.get(), Qt::Key_F1);
    } else {
        harness.window->Toolbar1_ButtonClick(u"About"_s);
    }
    auto *about = harness.window->findChild<AboutDialog *>(u"frmAbout"_s);
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(about->isWindow());
    QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    QCOMPARE(about->parentWidget(), harness.window.get());
    QCOMPARE(about->size(), QSize(382, 237));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(about->findChild<QWidget *>(u"Line1"_s));
    QVERIFY(about->findChild<QLabel *>(u"Image1"_s));
}

void TestAbout::showsTheProgramsTexts()
{
    const AboutDialog about;
    const Texts t = textsOf(&about);
    QCOMPARE(t.caption, u"About Vantor's Bind Utility"_s);
    QCOMPARE(t.title, u"Vantor's Bind Utility"_s);
    QCOMPARE(t.version, u"Version 0.97.0"_s);
    QCOMPARE(t.description, u"Questions? Comments? Rants? Raves?\r\n"
                            "Any of the above constitute an E-Mail to me.\r\n "_s +
                                vbu::AppInfo::contactAddress() +
                                u" \r\nLet me know what you think, hate, love. Any the input is appriciated."_s);
    QVERIFY(vbu::AppInfo::contactAddress().contains(u'@'));

    const QStringList disclaimer = t.disclaimer.split(u"\r\n"_s);
    QCOMPARE(disclaimer.size(), 4);
    QCOMPARE(disclaimer.first(), u"Warning: ..."_s);
    for (const QString &line : disclaimer)
        QVERIFY(!line.trimmed().isEmpty());
    QCOMPARE(disclaimer.mid(1), AboutDialog::authorshipLines());
    // No stray line ends: every break is the pair.
    QCOMPARE(t.disclaimer.count(u'\n'), t.disclaimer.count(u"\r\n"_s));
    QCOMPARE(t.description.count(u'\n'), 3);
}

void TestAbout::sameTextsWhenOpenedAgain()
{
    MainWindowHarness harness;
    QList<Texts> seen;
    for (int i = 0; i < 2; ++i) {
        harness.window->mnuAbout_Click();
        QPointer<AboutDialog> about = harness.window->findChild<AboutDialog *>();
        QVERIFY(about);
        seen.append(textsOf(about));
        about->findChild<QPushButton *>(u"cmdOK"_s)->click();
        flushDeletes();
        QVERIFY(!about);
    }
    QCOMPARE(seen[1].disclaimer, seen[0].disclaimer);
    QCOMPARE(seen[1].description, seen[0].description);
    QCOMPARE(seen[1].version, u"Version 0.97.0"_s);
    QCOMPARE(seen[1].disclaimer.count(AboutDialog::authorshipLines().constFirst()), 1);
}

void TestAbout::titleLooksAsDesigned()
{
    const AboutDialog about;
    const auto *title = about.findChild<QLabel *>(u"lblTitle"_s);
    QVERIFY(title);
    QCOMPARE(title->font().family(), u"Westminster"_s);
    QCOMPARE(title->font().pointSizeF(), 27.75);
    QCOMPARE(title->font().weight(), QFont::ExtraBold);
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(128, 128, 255));
}

void TestAbout::okClosesAndUnloads()
{
    auto *about = new AboutDialog;
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->show();
    QPointer<AboutDialog> watch = about;
    auto *ok = about->findChild<QPushButton *>(u"cmdOK"_s);
    QCOMPARE(ok->text(), u"OK"_s);
    QVERIFY(ok->isDefault());
    ok->click();
    QVERIFY(!about->isVisible());
    flushDeletes();
    QVERIFY(!watch);
}

void TestAbout::iconIsDrawnOnATransparentGround()
{
    const AboutDialog about;
    const auto *image = about.findChild<QLabel *>(u"Image1"_s);
    QCOMPARE(image->size(), QSize(32, 32));
    const QImage icon = image->pixmap().toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(31, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(16, 16)), 255);
    // The letter stands out from the key cap: bright and warm.
    int glowing = 0;
    for (int y = 6; y < 24; ++y) {
        for (int x = 6; x < 26; ++x) {
            const QRgb c = icon.pixel(x, y);
            if (qRed(c) > 220 && qBlue(c) < 120)
                ++glowing;
        }
    }
    QVERIFY(glowing > 10);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
