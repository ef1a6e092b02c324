#include "gui/ui/ColorsDialog.h"
#include "gui/ui/ListColors.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::ColorsDialog;
using vbu::test::FakePrompter;
using vbu::test::MainWindowHarness;
namespace ListColors = vbu::ListColors;

namespace {

const QColor listFore(0, 0, 128);
const QColor listBack(255, 255, 224);

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestColorsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void designValues_data();
    void designValues();
    void opensModalOverTheMainWindowAndReturns();
    void previewStartsWithTheListColours();

    void sequences_data();
    void sequences();
    void chooserStartsBlackAndKeepsTheLastChoice();
    void listColoursHoldInEveryColourGroup();
    void escapeClosesWithoutApplying();

private:
    ColorsDialog *open();
    QTreeView *list() const { return m_harness->window->lstBind(); }

    std::unique_ptr<MainWindowHarness> m_harness;
};

void TestColorsDialog::init()
{
    m_harness = std::make_unique<MainWindowHarness>();
    ListColors::setForeColor(list(), listFore);
    ListColors::setBackColor(list(), listBack);
}

void TestColorsDialog::cleanup()
{
    m_harness.reset();
    flushDeletes();
}

ColorsDialog *TestColorsDialog::open()
{
    m_harness->action("mnuEditColors")->trigger();
    return m_harness->window->findChild<ColorsDialog *>(u"frmColor"_s);
}

void TestColorsDialog::designValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("font colour") << u"Command1"_s << u"Change List Font Color"_s;
    QTest::newRow("back colour") << u"Command2"_s << u"Change List BackColor"_s;
    QTest::newRow("OK") << u"Command3"_s << u"OK"_s;
    QTest::newRow("Cancel") << u"Command4"_s << u"Cancel"_s;
    QTest::newRow("Apply") << u"Command5"_s << u"Apply"_s;
}

void TestColorsDialog::designValues()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    ColorsDialog *dialog = open();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), u"Change Colors"_s);
    QCOMPARE(dialog->size(), QSize(308, 110));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(dialog->windowFlags().testFlag(Qt::Tool));
    auto *button = dialog->findChild<QPushButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), text);
    QVERIFY(dialog->rect().contains(button->geometry()));

    QLineEdit *preview = dialog->Text1();
    QCOMPARE(preview->objectName(), u"Text1"_s);
    QCOMPARE(preview->text(), u"Vantor's Bind Utility"_s);
    QCOMPARE(preview->font().family(), u"Times New Roman"_s);
    QCOMPARE(preview->font().pointSizeF(), 14.25);
    QCOMPARE(preview->font().weight(), QFont::Normal);
    QVERIFY(dialog->findChild<QWidget *>(u"Line1"_s));
}

void TestColorsDialog::opensModalOverTheMainWindowAndReturns()
{
    ColorsDialog *first = open();
    // The handler has returned with the dialog still up: nothing waits on it.
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->windowModality(), Qt::ApplicationModal);
    QCOMPARE(first->parentWidget(), m_harness->window.get());
    QVERIFY(first->isWindow());

    // Closing unloads it; the next opening is a new window.
    QPointer<ColorsDialog> gone = first;
    first->close();
    flushDeletes();
    QVERIFY(!gone);
    QVERIFY(!m_harness->window->findChild<ColorsDialog *>());
    QVERIFY(open());
    QCOMPARE(m_harness->window->findChildren<ColorsDialog *>().size(), 1);
}

void TestColorsDialog::previewStartsWithTheListColours()
{
    ColorsDialog *dialog = open();
    QCOMPARE(ListColors::foreColor(dialog->Text1()), listFore);
    QCOMPARE(ListColors::backColor(dialog->Text1()), listBack);
    QCOMPARE(m_harness->prompter.asked.size(), 0);
}

void TestColorsDialog::sequences_data()
{
    // Steps: fore=/back= a colour or "cancel" (the chooser's answer for Command1/Command2),
    // apply, ok, cancel, closebox, reopen. An invalid preview colour means the dialog is closed.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QColor>("fore");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<QColor>("previewFore");
    QTest::addColumn<QColor>("previewBack");
    const QColor red(255, 0, 0);
    const QColor green(0, 255, 0);
    const QColor closed;
    const QColor black(0, 0, 0);

    QTest::newRow("apply then cancel keeps what was applied")
        << QStringList{u"fore=#ff0000"_s, u"back=#00ff00"_s, u"apply"_s, u"cancel"_s} << red << green << closed
        << closed;
    QTest::newRow("apply stays open") << QStringList{u"back=#00ff00"_s, u"apply"_s} << listFore << green << listFore
                                      << green;
    QTest::newRow("choosing alone changes only the preview")
        << QStringList{u"fore=#ff0000"_s} << listFore << listBack << red << listBack;
    QTest::newRow("font colour then cancel; reopened shows the list")
        << QStringList{u"fore=#ff0000"_s, u"cancel"_s, u"reopen"_s} << listFore << listBack << listFore << listBack;
    QTest::newRow("OK applies both and closes")
        << QStringList{u"fore=#ff0000"_s, u"back=#00ff00"_s, u"ok"_s} << red << green << closed << closed;
    QTest::newRow("close box applies nothing")
        << QStringList{u"fore=#ff0000"_s, u"back=#00ff00"_s, u"closebox"_s} << listFore << listBack << closed << closed;
    QTest::newRow("font chooser cancelled first: black text")
        << QStringList{u"fore=cancel"_s} << listFore << listBack << black << listBack;
    QTest::newRow("back chooser cancelled first: black background")
        << QStringList{u"back=cancel"_s} << listFore << listBack << listFore << black;
    QTest::newRow("cancelled after a choice, same button")
        << QStringList{u"fore=#ff0000"_s, u"fore=cancel"_s} << listFore << listBack << red << listBack;
    QTest::newRow("cancelled after a choice, other button")
        << QStringList{u"fore=#ff0000"_s, u"back=cancel"_s} << listFore << listBack << red << red;
    QTest::newRow("the chooser forgets its colour between openings")
        << QStringList{u"fore=#ff0000"_s, u"cancel"_s, u"reopen"_s, u"back=cancel"_s} << listFore << listBack
        << listFore << black;
    QTest::newRow("black preview applied")
        << QStringList{u"back=cancel"_s, u"ok"_s, u"reopen"_s} << listFore << black << listFore << black;
}

void TestColorsDialog::sequences()
{
    QFETCH(QStringList, steps);
    QFETCH(QColor, fore);
    QFETCH(QColor, back);
    QFETCH(QColor, previewFore);
    QFETCH(QColor, previewBack);

    FakePrompter &prompter = m_harness->prompter;
    QPointer<ColorsDialog> dialog = open();
    for (const QString &step : steps) {
        QVERIFY2(dialog || step == u"reopen"_s, qPrintable(step));
        if (step.startsWith(u"fore="_s) || step.startsWith(u"back="_s)) {
            const QString answer = step.mid(5);
            prompter.answerColor(answer == u"cancel"_s ? std::nullopt : std::optional<QColor>(QColor(answer)));
            if (step.startsWith(u"fore"_s))
                dialog->Command1_Click();
            else
                dialog->Command2_Click();
        } else if (step == u"apply"_s) {
            dialog->findChild<QPushButton *>(u"Command5"_s)->click();
        } else if (step == u"ok"_s) {
            dialog->findChild<QPushButton *>(u"Command3"_s)->click();
        } else if (step == u"cancel"_s) {
            dialog->findChild<QPushButton *>(u"Command4"_s)->click();
        } else if (step == u"closebox"_s) {
            dialog->close();
        } else if (step == u"reopen"_s) {
            QVERIFY(!dialog);
            dialog = open();
        } else {
            QFAIL(qPrintable(u"unknown step "_s + step));
        }
        flushDeletes();
    }
    QCOMPARE(prompter.unexpected, 0);
    QCOMPARE(prompter.pending(), 0);
    QCOMPARE(ListColors::foreColor(list()), fore);
    QCOMPARE(ListColors::backColor(list()), back);
    if (!previewFore.isValid()) {
        QVERIFY(!dialog);
        return;
    }
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(ListColors::foreColor(dialog->Text1()), previewFore);
    QCOMPARE(ListColors::backColor(dialog->Text1()), previewBack);
}

void TestColorsDialog::chooserStartsBlackAndKeepsTheLastChoice()
{
    FakePrompter &prompter = m_harness->prompter;
    ColorsDialog *dialog = open();
    prompter.answerColor(QColor(10, 20, 30));
    dialog->findChild<QPushButton *>(u"Command1"_s)->click();
    prompter.answerColor(std::nullopt);
    dialog->findChild<QPushButton *>(u"Command2"_s)->click();
    prompter.answerColor(QColor(40, 50, 60));
    dialog->Command2_Click();
    QCOMPARE(prompter.asked.size(), 3);
    QCOMPARE(prompter.asked[0].kind, FakePrompter::Asked::ColorDialog);
    QCOMPARE(prompter.asked[0].initial, QColor(Qt::black));
    QCOMPARE(prompter.asked[1].initial, QColor(10, 20, 30));
    QCOMPARE(prompter.asked[2].initial, QColor(10, 20, 30));
    QCOMPARE(dialog->chooserColor(), QColor(40, 50, 60));
}

void TestColorsDialog::listColoursHoldInEveryColourGroup()
{
    ColorsDialog *dialog = open();
    m_harness->prompter.answerColor(QColor(1, 2, 3));
    dialog->Command1_Click();
    m_harness->prompter.answerColor(QColor(4, 5, 6));
    dialog->Command2_Click();
    dialog->Command3_Click();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(list()->palette().color(group, QPalette::Text), QColor(1, 2, 3));
        QCOMPARE(list()->palette().color(group, QPalette::Base), QColor(4, 5, 6));
        QCOMPARE(list()->viewport()->palette().color(group, QPalette::Base), QColor(4, 5, 6));
    }
}

void TestColorsDialog::escapeClosesWithoutApplying()
{
    QPointer<ColorsDialog> dialog = open();
    m_harness->prompter.answerColor(QColor(1, 2, 3));
    dialog->Command2_Click();
    QTest::keyClick(dialog, Qt::Key_Escape);
    flushDeletes();
    QVERIFY(!dialog);
    QCOMPARE(ListColors::backColor(list()), listBack);
}

QTEST_MAIN(TestColorsDialog)
#include "tst_colorsdialog.moc"
