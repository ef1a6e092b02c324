#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "support/TestData.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using vbu::ScriptLines;
using vbu::ScriptReader;
using Items = QList<QByteArray>;

namespace {

Items parse(const QByteArray &bytes, ScriptReader::Mode mode)
{
    return ScriptReader::parse(bytes, mode).toList();
}

Items withoutEmpty(Items items)
{
    items.removeIf([](const QByteArray &item) { return item.isEmpty(); });
    return items;
}

} // namespace

class TestScriptReader : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void noiseKeepsTheInvariants();
    void missingFileFails();
    void folderFails();
    void unreadableFileFails();
    void ioErrorFails();
    void fileOfUnknownSizeLoads();
    void largeFilesLoad();
};

void TestScriptReader::fields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Items>("open");
    // What the command line gives when it differs from Open: Open's items without the empty ones.
    QTest::addColumn<bool>("hasEmpty");

    QTest::newRow("quoted binding") << "bind w \"+forward\"\r\n"_ba << Items{"bind w \"+forward\""} << false;
    QTest::newRow("comma splits, blank after it skipped") << "echo a, b\r\n"_ba << Items{"echo a", "b"} << false;
    QTest::newRow("leading quoted word") << "\"word\"\r\n"_ba << Items{"word"} << false;
    QTest::newRow("leading blanks") << "   set fov 90\r\n"_ba << Items{"set fov 90"} << false;
    QTest::newRow("leading tabs and blanks") << "\t \tbind a b\r\n"_ba << Items{"bind a b"} << false;
    QTest::newRow("trailing blanks kept") << "set hand 0  \r\n"_ba << Items{"set hand 0  "} << false;
    QTest::newRow("empty line in the middle") << "a\r\n\r\nb\r\n"_ba << Items{"a", "", "b"} << true;
    QTest::newRow("blank-only line") << "x\r\n   \r\n"_ba << Items{"x", ""} << true;
    QTest::newRow("quote inside plain field") << "say \"hi\" all\r\n"_ba << Items{"say \"hi\" all"} << false;
    QTest::newRow("comma inside quotes") << "\"a,b\",c\r\n"_ba << Items{"a,b", "c"} << false;
    QTest::newRow("text after closing quote kept") << "\"bind\" x \"y\"\r\n"_ba << Items{"bind x \"y\""} << false;
    QTest::newRow("tail up to the comma") << "\"a\" tail, b\r\n"_ba << Items{"a tail", "b"} << false;
    QTest::newRow("blanks inside quotes kept") << "  \" in \"\r\n"_ba << Items{" in "} << false;
    QTest::newRow("empty quotes") << "\"\"\r\nx\r\n"_ba << Items{"", "x"} << true;
    QTest::newRow("unclosed quote ends at line end")
        << "\"open, still\r\nnext\r\n"_ba << Items{"open, still", "next"} << false;
    QTest::newRow("unclosed quote at file end") << "\"open"_ba << Items{"open"} << false;
    QTest::newRow("n commas give n+1 fields") << "a,b,,c\r\n"_ba << Items{"a", "b", "", "c"} << true;
    QTest::newRow("commas only") << ", ,\r\n"_ba << Items{"", "", ""} << true;
    QTest::newRow("last line without line end") << "a\r\nb,c"_ba << Items{"a", "b", "c"} << false;
    QTest::newRow("trailing comma on last line") << "a,"_ba << Items{"a", ""} << true;
    QTest::newRow("no line end at all") << "bind x y  "_ba << Items{"bind x y  "} << false;
    QTest::newRow("empty file") << QByteArray() << Items{} << false;
    QTest::newRow("single CR LF") << "\r\n"_ba << Items{""} << true;
    QTest::newRow("LF lines") << "a\nb\n"_ba << Items{"a", "b"} << false;
    QTest::newRow("CR lines") << "a\rb\rc"_ba << Items{"a", "b", "c"} << false;
    QTest::newRow("LF CR is two line ends") << "a\n\rb"_ba << Items{"a", "", "b"} << true;
    QTest::newRow("CR CR LF") << "a\r\r\nb"_ba << Items{"a", "", "b"} << true;
    QTest::newRow("mixed line ends") << "a\r\nb\nc\rd\r\n"_ba << Items{"a", "b", "c", "d"} << false;
    QTest::newRow("high bytes") << "name \x80\xe9\xff\r\n\xa0x\r\n"_ba << Items{"name \x80\xe9\xff", "\xa0x"} << false;
    QTest::newRow("NUL is a byte") << QByteArray("a\0b,\0\r\n", 7) << Items{QByteArray("a\0b", 3), QByteArray(1, '\0')}
                                   << false;
    QTest::newRow("comment line") << "//Created by : Vantor's Bind Utility\r\n"_ba
                                  << Items{"//Created by : Vantor's Bind Utility"} << false;
}

void TestScriptReader::fields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Items, open);
    QFETCH(bool, hasEmpty);

    QCOMPARE(parse(bytes, ScriptReader::Mode::Open), open);
    const Items commandLine = parse(bytes, ScriptReader::Mode::CommandLine);
    QCOMPARE(commandLine, withoutEmpty(open));
    QCOMPARE(commandLine.size() < open.size(), hasEmpty);
}

// Random bytes, weighted towards the ones the rule cares about.
void TestScriptReader::noiseKeepsTheInvariants()
{
    static const char special[] = {'\r', '\n', ',', '"', ' ', '\t', '\0', 'x'};
    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(random.bounded(200), Qt::Uninitialized);
        for (char &c : bytes)
            c = random.bounded(2) ? special[random.bounded(int(sizeof special))] : char(random.bounded(256));
        const Items open = parse(bytes, ScriptReader::Mode::Open);
        QCOMPARE(parse(bytes, ScriptReader::Mode::CommandLine), withoutEmpty(open));
        qsizetype total = 0;
        for (const QByteArray &item : open) {
            QVERIFY2(!item.contains('\r') && !item.contains('\n'), bytes.toHex().constData());
            total += item.size();
        }
        QVERIFY(total <= bytes.size());
        QVERIFY(open.size() <= bytes.count('\r') + bytes.count('\n') + bytes.count(',') + 1);
    }
}

void TestScriptReader::missingFileFails()
{
    QTemporaryDir dir;
    const auto result = ScriptReader::readFile(dir.filePath(u"absent.cfg"_s), ScriptReader::Mode::Open);
    QVERIFY(!result.ok);
    QVERIFY(!result.opened);
    QVERIFY(!result.error.isEmpty());
}

void TestScriptReader::folderFails()
{
    QTemporaryDir dir;
    for (const auto mode : {ScriptReader::Mode::Open, ScriptReader::Mode::CommandLine}) {
        const auto result = ScriptReader::readFile(dir.path(), mode);
        QVERIFY(!result.ok);
        QVERIFY(!result.opened);
        QVERIFY(result.error.contains(u"folder"_s));
    }
}

void TestScriptReader::unreadableFileFails()
{
    if (geteuid() == 0)
        QSKIP("permissions do not stop root");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"locked.cfg"_s);
    vbu::test::writeAll(path, "bind a b\r\n"_ba);
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const auto result = ScriptReader::readFile(path, ScriptReader::Mode::Open);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
}

// Reading this process's memory from address 0 fails with an I/O error after a good open.
void TestScriptReader::ioErrorFails()
{
    const QString path = u"/proc/self/mem"_s;
    if (!QFile::exists(path))
        QSKIP("no /proc on this system");
    const auto result = ScriptReader::readFile(path, ScriptReader::Mode::Open);
    QVERIFY(!result.ok);
    QVERIFY(result.opened);
    QVERIFY(!result.error.isEmpty());
}

// /proc files report size 0 and are read on in steps.
void TestScriptReader::fileOfUnknownSizeLoads()
{
    const QString path = u"/proc/self/status"_s;
    if (!QFile::exists(path))
        QSKIP("no /proc on this system");
    const auto result = ScriptReader::readFile(path, ScriptReader::Mode::CommandLine);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(result.lines.size() > 5);
    QVERIFY(result.lines.view(0).startsWith("Name:"));
}

void TestScriptReader::largeFilesLoad()
{
    QTemporaryDir dir;
    // 100 MB of lines without a line end after the last one.
    const QByteArray line = "bind mouse1 \"+attack\", \"weapnext\"\r\n"_ba;
    const qsizetype repeats = 100'000'000 / line.size();
    QByteArray big = line.repeated(repeats);
    big.chop(2);
    const QString bigPath = dir.filePath(u"big.cfg"_s);
    vbu::test::writeAll(bigPath, big);
    big = QByteArray();
    auto result = ScriptReader::readFile(bigPath, ScriptReader::Mode::Open);
    QVERIFY(result.ok);
    QCOMPARE(result.lines.size(), 2 * repeats);
    QCOMPARE(result.lines.view(2 * repeats - 2), "bind mouse1 \"+attack\"");
    QCOMPARE(result.lines.view(2 * repeats - 1), "weapnext");
    result = {};

    // Lines of a megabyte, one of them quoted, one binary.
    QByteArray wide(1 << 20, 'w');
    QByteArray binary(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(3);
    for (char &c : binary)
        c = char(random.bounded(256));
    const QString widePath = dir.filePath(u"wide.cfg"_s);
    vbu::test::writeAll(widePath, wide + "\r\n\"" + wide + "\"\r\n" + binary);
    result = ScriptReader::readFile(widePath, ScriptReader::Mode::Open);
    QVERIFY(result.ok);
    QVERIFY(result.lines.size() >= 3);
    QCOMPARE(result.lines.view(0), wide);
    QCOMPARE(result.lines.view(1), wide);
}

QTEST_GUILESS_MAIN(TestScriptReader)
#include "tst_scriptreader.moc"
