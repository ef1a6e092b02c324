#include "core/editor/CapturedKey.h"

#include <QTest>

using vbu::CapturedKey;
using namespace Qt::StringLiterals;

class TestCapturedKey : public QObject
{
    Q_OBJECT

private slots:
    void keysGetTheGameNames_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        const int none = Qt::NoModifier;
        const int shift = Qt::ShiftModifier;
        const int pad = Qt::KeypadModifier;
        QTest::newRow("letter") << int(Qt::Key_W) << none << u"w"_s << u"w"_s;
        QTest::newRow("shifted letter is lower case") << int(Qt::Key_W) << shift << u"W"_s << u"w"_s;
        QTest::newRow("digit") << int(Qt::Key_7) << none << u"7"_s << u"7"_s;
        QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << shift << u"!"_s << u"1"_s;
        QTest::newRow("shifted quote") << int(Qt::Key_QuoteDbl) << shift << u"\""_s << u"'"_s;
        QTest::newRow("semicolon would end the command") << int(Qt::Key_Semicolon) << none << u";"_s << u"semicolon"_s;
        QTest::newRow("bracket") << int(Qt::Key_BracketLeft) << none << u"["_s << u"["_s;
        QTest::newRow("backquote") << int(Qt::Key_QuoteLeft) << none << u"`"_s << u"`"_s;
        QTest::newRow("f1") << int(Qt::Key_F1) << none << QString() << u"f1"_s;
        QTest::newRow("f12") << int(Qt::Key_F12) << none << QString() << u"f12"_s;
        QTest::newRow("enter") << int(Qt::Key_Return) << none << u"\r"_s << u"enter"_s;
        QTest::newRow("space") << int(Qt::Key_Space) << none << u" "_s << u"space"_s;
        QTest::newRow("tab") << int(Qt::Key_Tab) << none << u"\t"_s << u"tab"_s;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << QString() << u"backspace"_s;
        QTest::newRow("arrow") << int(Qt::Key_Up) << none << QString() << u"uparrow"_s;
        QTest::newRow("ctrl") << int(Qt::Key_Control) << int(Qt::ControlModifier) << QString() << u"ctrl"_s;
        QTest::newRow("alt") << int(Qt::Key_Alt) << int(Qt::AltModifier) << QString() << u"alt"_s;
        QTest::newRow("shift") << int(Qt::Key_Shift) << shift << QString() << u"shift"_s;
        QTest::newRow("ins") << int(Qt::Key_Insert) << none << QString() << u"ins"_s;
        QTest::newRow("pgdn") << int(Qt::Key_PageDown) << none << QString() << u"pgdn"_s;
        QTest::newRow("pause") << int(Qt::Key_Pause) << none << QString() << u"pause"_s;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << pad << u"\r"_s << u"kp_enter"_s;
        QTest::newRow("keypad home") << int(Qt::Key_Home) << pad << QString() << u"kp_home"_s;
        QTest::newRow("keypad 8 with num lock") << int(Qt::Key_8) << pad << u"8"_s << u"kp_uparrow"_s;
        QTest::newRow("keypad 5") << int(Qt::Key_Clear) << pad << QString() << u"kp_5"_s;
        QTest::newRow("keypad slash") << int(Qt::Key_Slash) << pad << u"/"_s << u"kp_slash"_s;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << pad << u"+"_s << u"kp_plus"_s;
        QTest::newRow("keypad delete") << int(Qt::Key_Delete) << pad << QString() << u"kp_del"_s;
        QTest::newRow("no name for a non-ASCII key") << int(Qt::Key_Eacute) << none << u"\u00e9"_s << QString();
        QTest::newRow("no name for a media key") << int(Qt::Key_VolumeUp) << none << QString() << QString();
    }

    void keysGetTheGameNames()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(CapturedKey::fromKey(key, Qt::KeyboardModifiers(modifiers), text), name);
    }

    void mouseButtonsAndWheel()
    {
        QCOMPARE(CapturedKey::fromMouseButton(Qt::LeftButton), u"mouse1"_s);
        QCOMPARE(CapturedKey::fromMouseButton(Qt::RightButton), u"mouse2"_s);
        QCOMPARE(CapturedKey::fromMouseButton(Qt::MiddleButton), u"mouse3"_s);
        QCOMPARE(CapturedKey::fromMouseButton(Qt::BackButton), u"mouse4"_s);
        QCOMPARE(CapturedKey::fromMouseButton(Qt::ForwardButton), u"mouse5"_s);
        QCOMPARE(CapturedKey::fromMouseButton(Qt::TaskButton), QString());
        QCOMPARE(CapturedKey::fromWheel(120), u"mwheelup"_s);
        QCOMPARE(CapturedKey::fromWheel(-15), u"mwheeldown"_s);
        QCOMPARE(CapturedKey::fromWheel(0), QString());
    }
};

QTEST_GUILESS_MAIN(TestCapturedKey)
#include "tst_capturedkey.moc"
