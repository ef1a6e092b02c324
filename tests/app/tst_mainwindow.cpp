#include "core/app/AppInfo.h"
#include "core/app/MruList.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::FakePrompter;
using vbu::test::MainWindowHarness;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsStandAtTheirDesignPlaces_data();
    void controlsStandAtTheirDesignPlaces();
    void menusCarryTheirCaptionsAndShortcuts_data();
    void menusCarryTheirCaptionsAndShortcuts();
    void keyListOffersTheGameKeysInOrder();
    void windowHasAFixedSize();

    void composesLinesByteForByte_data();
    void composesLinesByteForByte();
    void missingFieldsAreRefusedBindingTextFirst_data();
    void missingFieldsAreRefusedBindingTextFirst();
    void addingAppendsWhateverIsSelectedAndResetsTheFields();
    void enterInTheBindingTextAdds();
    void choosingATypeMovesFocusToTheKey();
    void charactersWithoutAByteAreRefusedAsTyped();

    void doubleClickEditsTheSelectedLine_data();
    void doubleClickEditsTheSelectedLine();
    void doubleClickWithoutSelectionDoesNothing();
    void editAnswerWithoutAByteIsRefused();
    void rightClickOpensTheEditMenu();

    void exitAsksFirst_data();
    void exitAsksFirst();
    void closingTheWindowEndsAtOnce();

    void startsWithoutArguments();
    void startsWithAFileNamedOnTheCommandLine();
    void startsQuietlyWithAMissingOrQuotedName_data();
    void startsQuietlyWithAMissingOrQuotedName();
};

void TestMainWindow::controlsStandAtTheirDesignPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Toolbar1") << u"Toolbar1"_s << QRect(0, 0, 5490, 360);
    QTest::newRow("picLogo") << u"picLogo"_s << QRect(30, 390, 240, 5220);
    QTest::newRow("lblType") << u"lblType"_s << QRect(540, 450, 420, 270);
    QTest::newRow("lblKey") << u"lblKey"_s << QRect(1530, 450, 300, 270);
    QTest::newRow("lblBind") << u"lblBind"_s << QRect(3330, 450, 645, 270);
    QTest::newRow("lblQuote") << u"lblQuote"_s << QRect(2295, 495, 75, 270);
    QTest::newRow("cmbType") << u"cmbType"_s << QRect(315, 720, 825, 315);
    QTest::newRow("txtKey") << u"txtKey"_s << QRect(1170, 720, 1230, 315);
    QTest::newRow("txtBind") << u"txtBind"_s << QRect(2430, 720, 2355, 300);
    QTest::newRow("cmdAdd") << u"cmdAdd"_s << QRect(4815, 720, 645, 330);
    QTest::newRow("lstBind") << u"lstBind"_s << QRect(315, 1080, 5145, 4110);
    QTest::newRow("Progress") << u"Progress"_s << QRect(330, 5250, 3375, 315);
}

void TestMainWindow::controlsStandAtTheirDesignPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    MainWindowHarness h;
    auto *w = h.window->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(w->geometry(), expected);
    QCOMPARE(w->parentWidget(), h.window->centralWidget());
}

void TestMainWindow::menusCarryTheirCaptionsAndShortcuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("New") << u"mnuNew"_s << u"&New"_s << u"Ctrl+N"_s;
    QTest::newRow("Open") << u"mnuOpen"_s << u"&Open..."_s << u"Ctrl+O"_s;
    QTest::newRow("Close") << u"mnuClose"_s << u"C&lose"_s << u"Ctrl+L"_s;
    QTest::newRow("Save") << u"mnuSave"_s << u"&Save"_s << u"Ctrl+S"_s;
    QTest::newRow("SaveAs") << u"mnuSaveAs"_s << u"&Save As..."_s << QString();
    QTest::newRow("Exit") << u"mnuExit"_s << u"E&xit"_s << u"Ctrl+X"_s;
    QTest::newRow("Cut") << u"mnuCut"_s << u"Cu&t"_s << u"Ctrl+T"_s;
    QTest::newRow("Copy") << u"mnuCopy"_s << u"&Copy"_s << u"Ctrl+C"_s;
    QTest::newRow("Paste") << u"mnuPaste"_s << u"&Paste"_s << u"Ctrl+P"_s;
    QTest::newRow("Delete") << u"mnuDelete"_s << u"&Delete Selected"_s << u"Ctrl+D"_s;
    QTest::newRow("ClearAll") << u"mnuClearAll"_s << u"Clear &All"_s << u"Ctrl+A"_s;
    QTest::newRow("InsertC") << u"mnuInsertC"_s << u"&Insert Comment Line"_s << u"Ctrl+I"_s;
    QTest::newRow("CommandList") << u"mnuCommandList"_s << u"Show Commands List"_s << QString();
    QTest::newRow("FunName") << u"mnuFunName"_s << u"Fun Name Editor"_s << QString();
    QTest::newRow("EditColors") << u"mnuEditColors"_s << u"&Edit Colors"_s << QString();
    QTest::newRow("About") << u"mnuAbout"_s << u"&About..."_s << u"F1"_s;
}

void TestMainWindow::menusCarryTheirCaptionsAndShortcuts()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    MainWindowHarness h;
    auto *a = h.window->findChild<QAction *>(name);
    QVERIFY2(a, qPrintable(name));
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
}

void TestMainWindow::keyListOffersTheGameKeysInOrder()
{
    MainWindowHarness h;
    QComboBox *keys = h.window->txtKey();
    QCOMPARE(keys->count(), 85);
    QCOMPARE(keys->itemText(0), u"a"_s);
    QCOMPARE(keys->itemText(25), u"z"_s);
    QCOMPARE(keys->itemText(26), u"0"_s);
    QCOMPARE(keys->itemText(36), u"\\"_s);
    QCOMPARE(keys->itemText(48), u"*"_s);
    QCOMPARE(keys->itemText(49), u"f1"_s);
    QCOMPARE(keys->itemText(61), u"enter"_s);
    QCOMPARE(keys->itemText(84), u"tab"_s);
    QCOMPARE(keys->currentText(), u"a"_s);
    QCOMPARE(h.window->cmbType()->currentText(), u"bind"_s);
    QCOMPARE(h.window->lblQuote()->text(), u"\""_s);
}

void TestMainWindow::windowHasAFixedSize()
{
    MainWindowHarness h;
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
    QCOMPARE(h.window->centralWidget()->size(), QSize(366, 375));
    QVERIFY(!(h.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(h.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(h.window->windowTitle(), u"Vantor's Bind Utility"_s);
}

void TestMainWindow::composesLinesByteForByte_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("bind") << u"bind"_s << u"mouse1"_s << u"+attack"_s << QByteArray("bind mouse1 \"+attack\"");
    QTest::newRow("set") << u"set"_s << u"sensitivity"_s << u"5"_s << QByteArray("set sensitivity \"5\"");
    QTest::newRow("alias") << u"alias"_s << u"+rj"_s << u"+jump;+attack"_s << QByteArray("alias +rj \"+jump;+attack\"");
    QTest::newRow("quotes inside stay") << u"bind"_s << u"f1"_s << u"say \"hi\""_s
                                        << QByteArray("bind f1 \"say \"hi\"\"");
    QTest::newRow("blanks kept") << u"bind"_s << u" k "_s << u" echo hi "_s << QByteArray("bind  k  \" echo hi \"");
    QTest::newRow("empty type") << QString() << u"x"_s << u"y"_s << QByteArray(" x \"y\"");
    QTest::newRow("other type") << u"unbind"_s << u"x"_s << u"y"_s << QByteArray("unbind x \"y\"");
    QTest::newRow("upper case kept") << u"bind"_s << u"MOUSE1"_s << u"+Attack"_s
                                     << QByteArray("bind MOUSE1 \"+Attack\"");
    QTest::newRow("high bytes") << u"bind"_s << u"x"_s << QString::fromLatin1("say \xe9\xff\x80")
                                << QByteArray("bind x \"say \xe9\xff\x80\"");
    QTest::newRow("blank key counts") << u"bind"_s << u" "_s << u"x"_s << QByteArray("bind   \"x\"");
}

void TestMainWindow::composesLinesByteForByte()
{
    QFETCH(QString, type);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QByteArray, line);
    MainWindowHarness h;
    h.window->cmbType()->setEditText(type);
    h.window->txtKey()->setEditText(key);
    h.window->txtBind()->setText(text);
    h.window->cmdAdd_Click();
    QCOMPARE(h.prompter.asked.size(), 0);
    QCOMPARE(h.lines(), QByteArrayList{line});
}

void TestMainWindow::missingFieldsAreRefusedBindingTextFirst_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("both empty") << QString() << QString() << u"You must fill in the binding space"_s;
    QTest::newRow("text empty") << u"a"_s << QString() << u"You must fill in the binding space"_s;
    QTest::newRow("key empty") << QString() << u"+jump"_s << u"You must fill in the key space"_s;
}

void TestMainWindow::missingFieldsAreRefusedBindingTextFirst()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, message);
    MainWindowHarness h;
    h.setLines({"x"});
    h.window->txtKey()->setEditText(key);
    h.window->txtBind()->setText(text);
    h.window->cmdAdd_Click();
    QCOMPARE(h.prompter.asked.size(), 1);
    const auto &m = h.prompter.last().message;
    QCOMPARE(m.text, message);
    QCOMPARE(m.title, u"Error"_s);
    QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
    QCOMPARE(m.icon, Prompter::Icon::Critical);
    QCOMPARE(h.lines(), QByteArrayList{"x"});
    QCOMPARE(h.window->txtBind()->text(), text);
    QCOMPARE(h.window->txtKey()->currentText(), key);
}

void TestMainWindow::addingAppendsWhateverIsSelectedAndResetsTheFields()
{
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.setLines({"one", "two", "three"});
    h.window->selectRow(0);
    h.window->cmbType()->setEditText(u"set"_s);
    h.window->txtKey()->setEditText(u"f1"_s);
    h.window->txtBind()->setText(u"echo hi"_s);
    QTest::mouseClick(h.window->findChild<QPushButton *>(u"cmdAdd"_s), Qt::LeftButton);
    QCOMPARE(h.lines(), (QByteArrayList{"one", "two", "three", "set f1 \"echo hi\""}));
    QCOMPARE(h.window->selectedRow(), 0);
    QVERIFY(h.window->txtBind()->text().isEmpty());
    QCOMPARE(h.window->txtKey()->currentText(), u"f1"_s);
    QCOMPARE(h.window->cmbType()->currentText(), u"set"_s);
    QTRY_VERIFY(h.window->txtKey()->hasFocus());
}

void TestMainWindow::enterInTheBindingTextAdds()
{
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.window->txtBind()->setFocus();
    QTest::keyClicks(h.window->txtBind(), u"+jump"_s);
    QTest::keyClick(h.window->txtBind(), Qt::Key_Return);
    QCOMPARE(h.lines(), QByteArrayList{"bind a \"+jump\""});
    // Typed into the key box, then Enter there.
    QLineEdit *key = h.window->txtKey()->lineEdit();
    key->selectAll();
    QTest::keyClicks(key, u"A"_s);
    h.window->txtBind()->setText(u"x"_s);
    QTest::keyClick(key, Qt::Key_Enter);
    QCOMPARE(h.lines(), (QByteArrayList{"bind a \"+jump\"", "bind A \"x\""}));
}

void TestMainWindow::choosingATypeMovesFocusToTheKey()
{
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.window->cmbType()->setFocus();
    QTest::keyClick(h.window->cmbType(), Qt::Key_Down);
    QCOMPARE(h.window->cmbType()->currentText(), u"set"_s);
    QTRY_VERIFY(h.window->txtKey()->hasFocus());
    QVERIFY(h.lines().isEmpty());
}

void TestMainWindow::charactersWithoutAByteAreRefusedAsTyped()
{
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.window->txtBind()->setFocus();
    // Typed one key at a time, as a keyboard with these characters would send them.
    for (const QChar c : u"say \u00e9\u20ac!"_s)
        QTest::sendKeyEvent(QTest::Click, h.window->txtBind(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(h.window->txtBind()->text(), u"say \u00e9!"_s);
    // A pasted text with such a character is refused whole.
    h.window->txtBind()->clear();
    h.window->txtBind()->insert(u"x\u2019y"_s);
    QCOMPARE(h.window->txtBind()->text(), QString());
}

void TestMainWindow::doubleClickEditsTheSelectedLine_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("replaced whole") << u"bind x \"y\""_s << QByteArray("bind x \"y\"");
    QTest::newRow("high byte kept") << QString::fromLatin1("name \xff") << QByteArray("name \xff");
    QTest::newRow("empty answer keeps") << QString() << QByteArray("bind w \"+forward\"");
}

void TestMainWindow::doubleClickEditsTheSelectedLine()
{
    QFETCH(QString, answer);
    QFETCH(QByteArray, result);
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.setLines({"first", "bind w \"+forward\"", "last"});
    QTreeView *list = h.window->lstBind();
    const QRect row = list->visualRect(h.window->script().index(1));
    h.prompter.answerInput(answer);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTRY_COMPARE(h.prompter.asked.size(), 1);
    const auto &asked = h.prompter.last();
    QCOMPARE(asked.kind, FakePrompter::Asked::InputBox);
    QCOMPARE(asked.prompt, u"Enter the updated text."_s);
    QCOMPARE(asked.title, u"Edit Command"_s);
    QCOMPARE(asked.proposed, u"bind w \"+forward\""_s);
    QCOMPARE(h.lines(), (QByteArrayList{"first", result, "last"}));
}

void TestMainWindow::doubleClickWithoutSelectionDoesNothing()
{
    MainWindowHarness h;
    h.window->lstBind_DblClick();
    h.setLines({"", "x"});
    h.window->lstBind_DblClick();
    h.window->selectRow(0); // an empty line is not edited
    h.window->lstBind_DblClick();
    QCOMPARE(h.prompter.asked.size(), 0);
    QCOMPARE(h.lines(), (QByteArrayList{"", "x"}));
}

void TestMainWindow::editAnswerWithoutAByteIsRefused()
{
    MainWindowHarness h;
    h.setLines({"keep me"});
    h.window->selectRow(0);
    h.prompter.answerInput(u"snowman \u2603"_s);
    h.prompter.answerMessage(Prompter::Ok);
    h.window->lstBind_DblClick();
    QCOMPARE(h.prompter.asked.size(), 2);
    QCOMPARE(h.prompter.last().message.icon, Prompter::Icon::Exclamation);
    QCOMPARE(h.lines(), QByteArrayList{"keep me"});
}

void TestMainWindow::rightClickOpensTheEditMenu()
{
    MainWindowHarness h;
    QVERIFY(h.showActive());
    h.setLines({"a", "b"});
    QTreeView *list = h.window->lstBind();
    const QPoint at = list->visualRect(h.window->script().index(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(50);
    QVERIFY(!h.window->editMenu()->isVisible());
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    QTRY_VERIFY(h.window->editMenu()->isVisible());
    const QStringList names = [&] {
        QStringList out;
        for (QAction *a : h.window->editMenu()->actions())
            out.append(a->objectName());
        return out;
    }();
    QVERIFY(names.contains(u"mnuCut"_s) && names.contains(u"mnuInsertC"_s));
    h.window->editMenu()->close();
}

void TestMainWindow::exitAsksFirst_data()
{
    QTest::addColumn<bool>("fromToolbar");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("endings");
    QTest::newRow("menu, yes") << false << int(Prompter::Yes) << 1;
    QTest::newRow("menu, no") << false << int(Prompter::No) << 0;
    QTest::newRow("toolbar, yes") << true << int(Prompter::Yes) << 1;
    QTest::newRow("toolbar, no") << true << int(Prompter::No) << 0;
}

void TestMainWindow::exitAsksFirst()
{
    QFETCH(bool, fromToolbar);
    QFETCH(int, answer);
    QFETCH(int, endings);
    MainWindowHarness h;
    h.setLines({"keep"});
    QSignalSpy ending(h.window.get(), &vbu::MainWindow::programEnding);
    h.prompter.answerMessage(Prompter::Button(answer));
    if (fromToolbar)
        h.window->toolbarButton(17)->trigger();
    else
        h.action("mnuExit")->trigger();
    QCOMPARE(h.prompter.asked.size(), 1);
    const auto &m = h.prompter.last().message;
    QCOMPARE(m.text, u"Do you really want to Exit"_s);
    QCOMPARE(m.title, u"Confirm"_s);
    QCOMPARE(m.buttons, Prompter::Yes | Prompter::No);
    QCOMPARE(m.defaultButton, Prompter::Yes);
    QCOMPARE(m.icon, Prompter::Icon::Question);
    QCOMPARE(ending.size(), endings);
    QCOMPARE(h.lines(), QByteArrayList{"keep"});
}

void TestMainWindow::closingTheWindowEndsAtOnce()
{
    MainWindowHarness h;
    h.setLines({"unsaved"});
    h.window->show();
    QSignalSpy ending(h.window.get(), &vbu::MainWindow::programEnding);
    QVERIFY(h.window->close());
    QCOMPARE(ending.size(), 1);
    QCOMPARE(h.prompter.asked.size(), 0);
}

void TestMainWindow::startsWithoutArguments()
{
    MainWindowHarness h;
    QVERIFY(h.lines().isEmpty());
    QCOMPARE(h.window->caption(), u"Vantor's Bind Utility"_s);
    QVERIFY(h.window->fileName().isEmpty());
    QCOMPARE(h.window->progress()->value(), 0);
    QVERIFY(!h.action("mnuMRUDiv")->isVisible());
}

void TestMainWindow::startsWithAFileNamedOnTheCommandLine()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"my autoexec.cfg"_s);
    vbu::test::writeAll(name, "bind w \"+forward\"\r\n\r\necho a, b\r\n");
    vbu::test::clearRecentFiles();
    vbu::test::FakePrompter prompter;
    vbu::MainWindow w(prompter, name);
    QCOMPARE(w.script().lines().toList(), (QByteArrayList{"bind w \"+forward\"", "echo a", "b"}));
    QCOMPARE(w.caption(), name);
    QCOMPARE(w.windowTitle(), name);
    QCOMPARE(w.fileName(), name);
    QCOMPARE(w.recentFiles().files(), QStringList{name});
    QCOMPARE(prompter.asked.size(), 0);
}

void TestMainWindow::startsQuietlyWithAMissingOrQuotedName_data()
{
    QTest::addColumn<bool>("quoted");
    QTest::newRow("missing") << false;
    QTest::newRow("quoted existing") << true;
}

void TestMainWindow::startsQuietlyWithAMissingOrQuotedName()
{
    QFETCH(bool, quoted);
    QTemporaryDir dir;
    const QString name = dir.filePath(u"a.cfg"_s);
    if (quoted)
        vbu::test::writeAll(name, "bind a b\r\n");
    MainWindowHarness h(quoted ? u'"' + name + u'"' : name);
    QVERIFY(h.lines().isEmpty());
    QCOMPARE(h.window->caption(), u"Vantor's Bind Utility"_s);
    QCOMPARE(h.prompter.asked.size(), 0);
    QVERIFY(h.window->recentFiles().files().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
