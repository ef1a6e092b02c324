#include "core/app/MruList.h"
#include "support/MainWindowHarness.h"
#include "support/TestData.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;
using vbu::Prompter;
using vbu::test::FakePrompter;
using vbu::test::MainWindowHarness;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { vbu::test::verifyEveryQuestionAnswered(); }

    void designPlacesMenusAndKeys()
    {
        MainWindowHarness h;
        h.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
        QCOMPARE(h.window->centralWidget()->size(), QSize(366, 375));
        QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
        QVERIFY(!(h.window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(h.window->windowFlags() & Qt::WindowMinimizeButtonHint);
        // Design places are in twips: 15 to a pixel.
        const std::pair<const char *, QRect> places[] = {{"Toolbar1", {0, 0, 5490, 360}},
                                                         {"txtBind", {2430, 720, 2355, 300}},
                                                         {"lstBind", {315, 1080, 5145, 4110}},
                                                         {"Progress", {330, 5250, 3375, 315}}};
        for (const auto &[name, t] : places)
            QCOMPARE(h.window->findChild<QWidget *>(QLatin1StringView(name))->geometry(),
                     QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
        // The shortcuts that differ from the usual ones, and the two entries that share an access key.
        const std::tuple<const char *, QString, QString> menus[] = {
            {"mnuExit", u"E&xit"_s, u"Ctrl+X"_s},   {"mnuCut", u"Cu&t"_s, u"Ctrl+T"_s},
            {"mnuPaste", u"&Paste"_s, u"Ctrl+P"_s}, {"mnuClearAll", u"Clear &All"_s, u"Ctrl+A"_s},
            {"mnuSave", u"&Save"_s, u"Ctrl+S"_s},   {"mnuSaveAs", u"&Save As..."_s, QString()},
            {"mnuClose", u"C&lose"_s, u"Ctrl+L"_s}, {"mnuAbout", u"&About..."_s, u"F1"_s}};
        for (const auto &[name, caption, shortcut] : menus) {
            QCOMPARE(h.action(name)->text(), caption);
            QCOMPARE(h.action(name)->shortcut(), QKeySequence(shortcut));
        }
        auto *keys = h.child<QComboBox>("txtKey");
        QCOMPARE(keys->count(), 85);
        const std::pair<int, QString> someKeys[] = {{0, u"a"_s},   {26, u"0"_s},     {36, u"\\"_s}, {48, u"*"_s},
                                                    {49, u"f1"_s}, {61, u"enter"_s}, {84, u"tab"_s}};
        for (const auto &[index, name] : someKeys)
            QCOMPARE(keys->itemText(index), name);
        QCOMPARE(keys->currentText(), u"a"_s);
        QCOMPARE(h.child<QComboBox>("cmbType")->currentText(), u"bind"_s);
        QCOMPARE(h.window->windowTitle(), u"Vantor's Bind Utility"_s);
    }

    void composesLinesByteForByte_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("bind") << u"bind"_s << u"mouse1"_s << u"+attack"_s << QByteArray("bind mouse1 \"+attack\"");
        QTest::newRow("alias") << u"alias"_s << u"+rj"_s << u"+jump;+attack"_s
                               << QByteArray("alias +rj \"+jump;+attack\"");
        QTest::newRow("quotes inside stay")
            << u"bind"_s << u"f1"_s << u"say \"hi\""_s << QByteArray("bind f1 \"say \"hi\"\"");
        QTest::newRow("blanks kept") << u"bind"_s << u" k "_s << u" echo hi "_s << QByteArray("bind  k  \" echo hi \"");
        QTest::newRow("empty type") << QString() << u"x"_s << u"y"_s << QByteArray(" x \"y\"");
        QTest::newRow("upper case kept") << u"unbind"_s << u"MOUSE1"_s << u"+Attack"_s
                                         << QByteArray("unbind MOUSE1 \"+Attack\"");
        QTest::newRow("high bytes") << u"set"_s << u"x"_s << QString::fromLatin1("say \xe9\xff\x80")
                                    << QByteArray("set x \"say \xe9\xff\x80\"");
    }

    void composesLinesByteForByte()
    {
        QFETCH(QString, type);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        MainWindowHarness h;
        h.child<QComboBox>("cmbType")->setEditText(type);
        h.child<QComboBox>("txtKey")->setEditText(key);
        h.child<QLineEdit>("txtBind")->setText(text);
        h.window->addBinding();
        QCOMPARE(h.prompter.asked.size(), 0);
        QCOMPARE(h.lines(), QByteArrayList{line});
    }

    void missingFieldsAreRefusedBindingTextFirst_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("both empty") << QString() << QString() << u"You must fill in the binding space"_s;
        QTest::newRow("key empty") << QString() << u"+jump"_s << u"You must fill in the key space"_s;
    }

    void missingFieldsAreRefusedBindingTextFirst()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, message);
        MainWindowHarness h;
        h.setLines({"x"});
        h.child<QComboBox>("txtKey")->setEditText(key);
        h.child<QLineEdit>("txtBind")->setText(text);
        h.prompter.answerMessage(Prompter::Ok);
        h.window->addBinding();
        QCOMPARE(h.prompter.asked.size(), 1);
        const auto &m = h.prompter.last().message;
        QCOMPARE(m.text, message);
        QCOMPARE(m.title, u"Error"_s);
        QCOMPARE(m.buttons, Prompter::Buttons(Prompter::Ok));
        QCOMPARE(m.icon, Prompter::Icon::Critical);
        QCOMPARE(h.lines(), QByteArrayList{"x"});
        QCOMPARE(h.child<QLineEdit>("txtBind")->text(), text);
    }

    void typingAddsAtTheEndWhateverIsSelected()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"one", "two"});
        h.window->selectRow(0);
        // Down in the type box chooses "set" and sends the focus to the key box.
        QTest::keyClick(h.child<QComboBox>("cmbType"), Qt::Key_Down);
        QTRY_VERIFY(h.child<QComboBox>("txtKey")->hasFocus());
        QLineEdit *key = h.child<QComboBox>("txtKey")->lineEdit();
        key->selectAll();
        QTest::keyClicks(key, u"F1"_s);
        QTest::keyClick(key, Qt::Key_Tab);
        // Typed one key at a time; a character with no byte in a script file is refused.
        for (const QChar c : u"echo \u00e9\u20ac!"_s)
            QTest::sendKeyEvent(QTest::Click, h.child<QLineEdit>("txtBind"), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        QTest::keyClick(h.child<QLineEdit>("txtBind"), Qt::Key_Return);
        QCOMPARE(h.lines(), (QByteArrayList{"one", "two", "set F1 \"echo \xe9!\""}));
        QCOMPARE(h.window->selectedRow(), 0);
        QVERIFY(h.child<QLineEdit>("txtBind")->text().isEmpty());
        QCOMPARE(h.child<QComboBox>("txtKey")->currentText(), u"F1"_s);
        QTRY_VERIFY(h.child<QComboBox>("txtKey")->hasFocus());
        h.prompter.answerMessage(Prompter::Ok);
        QTest::mouseClick(h.window->findChild<QPushButton *>(u"cmdAdd"_s), Qt::LeftButton);
        QCOMPARE(h.prompter.last().message.text, u"You must fill in the binding space"_s);
    }

    // The menu's keys win in every field; Enter runs Add wherever no control takes it.
    void menuKeysWinOverTheFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("effect"); // question asked | clipboard | lines
        QTest::newRow("Exit") << u"cmbType"_s << u"Ctrl+X"_s << u"Confirm|before|3"_s;
        QTest::newRow("Copy") << u"txtKey"_s << u"Ctrl+C"_s << u"|two|3"_s;
        QTest::newRow("Clear All") << u"txtBind"_s << u"Ctrl+A"_s << u"Warning|before|3"_s;
        QTest::newRow("Undo") << u"txtKey"_s << u"Ctrl+Z"_s << u"|before|2"_s;
        QTest::newRow("Enter in the key") << u"txtKey"_s << u"Return"_s << u"|before|4"_s;
        QTest::newRow("Enter in the list") << u"lstBind"_s << u"Return"_s << u"|before|4"_s;
    }

    void menuKeysWinOverTheFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, effect);
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"one", "two"});
        h.window->selectRow(1);
        QGuiApplication::clipboard()->setText(u"before"_s);
        h.child<QLineEdit>("txtBind")->setText(u"+jump"_s);
        QTest::keyClick(h.child<QLineEdit>("txtBind"), Qt::Key_Return);
        h.child<QLineEdit>("txtBind")->setText(u"+duck"_s);
        auto *target = h.window->findChild<QWidget *>(field);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        if (!effect.startsWith(u'|'))
            h.prompter.answerMessage(Prompter::No);
        QTest::keySequence(target, QKeySequence(keys));
        const QString asked = h.prompter.asked.isEmpty() ? QString() : h.prompter.last().message.title;
        QCOMPARE(asked + u'|' + QGuiApplication::clipboard()->text() + u'|' + QString::number(h.lines().size()),
                 effect);
    }

    void doubleClickEditsTheSelectedLine_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("questions");
        QTest::newRow("replaced whole") << QString::fromLatin1("name \xff") << QByteArray("name \xff") << 1;
        QTest::newRow("empty answer keeps") << QString() << QByteArray("bind w \"+forward\"") << 1;
        QTest::newRow("no byte for a character") << u"snow \u2603"_s << QByteArray("bind w \"+forward\"") << 2;
    }

    void doubleClickEditsTheSelectedLine()
    {
        QFETCH(QString, answer);
        QFETCH(QByteArray, result);
        QFETCH(int, questions);
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"", "bind w \"+forward\""});
        auto *list = h.child<QTreeView>("lstBind");
        // An empty line and no selection are not edited.
        h.window->editSelectedLine();
        h.window->selectRow(0);
        h.window->editSelectedLine();
        QCOMPARE(h.prompter.asked.size(), 0);
        h.prompter.answerInput(answer);
        if (questions == 2)
            h.prompter.answerMessage(Prompter::Ok); // why the answer was refused
        const QPoint at = list->visualRect(h.window->script().index(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(h.prompter.asked.size(), questions);
        const auto &asked = h.prompter.asked.at(0);
        QCOMPARE(asked.prompt, u"Enter the updated text."_s);
        QCOMPARE(asked.title, u"Edit Command"_s);
        QCOMPARE(asked.proposed, u"bind w \"+forward\""_s);
        QCOMPARE(h.lines(), (QByteArrayList{"", result}));
    }

    void rightClickOpensTheEditMenu()
    {
        MainWindowHarness h;
        QVERIFY(h.showActive());
        h.setLines({"a", "b"});
        auto *list = h.child<QTreeView>("lstBind");
        const QPoint at = list->visualRect(h.window->script().index(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::qWait(50);
        QVERIFY(!h.child<QMenu>("mnuEdit")->isVisible());
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(h.child<QMenu>("mnuEdit")->isVisible());
        QVERIFY(h.child<QMenu>("mnuEdit")->actions().contains(h.action("mnuCut")));
        h.child<QMenu>("mnuEdit")->close();
    }

    void exitAsksFirstAndClosingDoesNot_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("endings");
        QTest::newRow("menu, yes") << u"menu"_s << 1;
        QTest::newRow("toolbar, no") << u"toolbar"_s << 0;
        QTest::newRow("close box") << u"close"_s << 1;
    }

    void exitAsksFirstAndClosingDoesNot()
    {
        QFETCH(QString, how);
        QFETCH(int, endings);
        MainWindowHarness h;
        h.setLines({"unsaved"});
        h.window->show();
        QSignalSpy ending(h.window.get(), &vbu::MainWindow::programEnding);
        if (how != "close"_L1)
            h.prompter.answerMessage(endings ? Prompter::Yes : Prompter::No);
        if (how == "close"_L1) {
            QVERIFY(h.window->close());
            QCOMPARE(h.prompter.asked.size(), 0);
        } else {
            if (how == "menu"_L1)
                h.action("mnuExit")->trigger();
            else
                h.toolbarButton("Exit")->click();
            const auto &m = h.prompter.last().message;
            QCOMPARE(m.text, u"Do you really want to Exit"_s);
            QCOMPARE(m.title, u"Confirm"_s);
            QCOMPARE(m.buttons, Prompter::Yes | Prompter::No);
            QCOMPARE(m.defaultButton, Prompter::Yes);
            QCOMPARE(m.icon, Prompter::Icon::Question);
        }
        QCOMPARE(ending.size(), endings);
        QCOMPARE(h.lines(), QByteArrayList{"unsaved"});
    }

    void startUpOpensTheCommandLineFileQuietly_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("none") << QString() << QByteArrayList{};
        QTest::newRow("existing, empty fields left out")
            << u"my autoexec.cfg"_s << QByteArrayList{"bind w \"+forward\"", "echo a", "b"};
        QTest::newRow("missing") << u"gone.cfg"_s << QByteArrayList{};
        QTest::newRow("quoted") << u"\"my autoexec.cfg\""_s << QByteArrayList{};
    }

    void startUpOpensTheCommandLineFileQuietly()
    {
        QFETCH(QString, argument);
        QFETCH(QByteArrayList, lines);
        QTemporaryDir dir;
        vbu::test::writeAll(dir.filePath(u"my autoexec.cfg"_s), "bind w \"+forward\"\r\n\r\necho a, b\r\n");
        QString commandLine = argument;
        if (!argument.isEmpty())
            commandLine.insert(argument.startsWith(u'"') ? 1 : 0, dir.path() + u'/');
        MainWindowHarness h(commandLine);
        QCOMPARE(h.prompter.asked.size(), 0);
        QCOMPARE(h.lines(), lines);
        const bool loaded = !lines.isEmpty();
        QCOMPARE(h.window->caption(), loaded ? commandLine : u"Vantor's Bind Utility"_s);
        QCOMPARE(h.window->recentFiles().files(), loaded ? QStringList{commandLine} : QStringList());
        QCOMPARE(h.action("mnuMRUDiv")->isVisible(), loaded);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
