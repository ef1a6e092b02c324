#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "support/TestData.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using vbu::ScriptLines;
using vbu::ScriptReader;
using vbu::ScriptWriter;
using Items = QList<QByteArray>;

namespace {

ScriptLines linesOf(const Items &items)
{
    ScriptLines lines;
    for (const QByteArray &item : items)
        lines.append(item);
    return lines;
}

// The one file a folder holds besides the given one would be a temporary left behind.
QStringList filesIn(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestScriptWriter : public QObject
{
    Q_OBJECT

private slots:
    void bytes_data();
    void bytes();
    void writeFileReplacesContent();
    void progressCounts();
    void missingFolderFails();
    void folderNameFails();
    void fileTooLargeKeepsOldFile();
    void composedLinesRoundTrip();
    void commaLineSplitsOnReload();
    void corpusRoundTrips_data();
    void corpusRoundTrips();
};

void TestScriptWriter::bytes_data()
{
    QTest::addColumn<Items>("items");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty list") << Items{} << QByteArray();
    QTest::newRow("one empty item") << Items{""} << "\r\n"_ba;
    QTest::newRow("binding and comment") << Items{"bind w \"+forward\"", "//Created by : Vantor's Bind Utility"}
                                         << "bind w \"+forward\"\r\n//Created by : Vantor's Bind Utility\r\n"_ba;
    QTest::newRow("bytes pass unchanged")
        << Items{QByteArray("\x01\0\x80\xff", 4), " x "} << QByteArray("\x01\0\x80\xff\r\n x \r\n", 11);
    QTest::newRow("line break inside an item") << Items{"a\nb", "c\r"} << "a\nb\r\nc\r\r\n"_ba;
}

void TestScriptWriter::bytes()
{
    QFETCH(Items, items);
    QFETCH(QByteArray, expected);

    const ScriptLines lines = linesOf(items);
    QCOMPARE(ScriptWriter::toBytes(lines), expected);
    QByteArray written;
    QBuffer buffer(&written);
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(ScriptWriter::write(buffer, lines));
    QCOMPARE(written, expected);
}

void TestScriptWriter::writeFileReplacesContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.cfg"_s);
    vbu::test::writeAll(path, QByteArray(5000, 'o'));
    // Lines longer than the writer's blocks go out whole, between short ones.
    const Items items{"short", QByteArray(3 << 20, 'L'), "", "tail"};
    QString why;
    QVERIFY2(ScriptWriter::writeFile(path, linesOf(items), &why), qPrintable(why));
    QCOMPARE(vbu::test::readAll(path), ScriptWriter::toBytes(linesOf(items)));
    QVERIFY(ScriptWriter::writeFile(path, ScriptLines(), &why));
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(filesIn(dir), QStringList{u"out.cfg"_s});
}

void TestScriptWriter::progressCounts()
{
    QTemporaryDir dir;
    const qsizetype n = 10'001;
    ScriptLines lines;
    for (qsizetype i = 0; i < n; ++i)
        lines.append("bind x " + QByteArray::number(i));
    QList<qsizetype> seen;
    QString why;
    QVERIFY(ScriptWriter::writeFile(dir.filePath(u"p.cfg"_s), lines, &why, [&](qsizetype done) { seen.append(done); }));
    QVERIFY(seen.size() > 1);
    QCOMPARE(seen.constLast(), n);
    QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
    QVERIFY(seen.constFirst() < n);

    seen.clear();
    QVERIFY(
        ScriptWriter::writeFile(dir.filePath(u"e.cfg"_s), ScriptLines(), &why, [&](qsizetype d) { seen.append(d); }));
    QCOMPARE(seen, QList<qsizetype>{0});
}

void TestScriptWriter::missingFolderFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"no/such/folder/x.cfg"_s);
    QString why;
    QVERIFY(!ScriptWriter::writeFile(path, linesOf({"a"}), &why));
    QVERIFY(!why.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
}

void TestScriptWriter::folderNameFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sub"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    vbu::test::writeAll(path + u"/inner.cfg"_s, "kept"_ba);
    QString why;
    QVERIFY(!ScriptWriter::writeFile(path, linesOf({"a"}), &why));
    QVERIFY(!why.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(vbu::test::readAll(path + u"/inner.cfg"_s), "kept"_ba);
}

// A child process may write no more than 64 KiB: the write fails with EFBIG, the reason comes
// back, and the file that was there stays as it was, with no temporary beside it.
void TestScriptWriter::fileTooLargeKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"old.cfg"_s);
    const QByteArray old = "bind old \"line\"\r\n"_ba;
    vbu::test::writeAll(path, old);

    ScriptLines lines;
    for (int i = 0; i < 20'000; ++i)
        lines.append("bind key" + QByteArray::number(i) + " \"+attack;weapnext\"");

    int pipeEnds[2];
    QVERIFY(pipe(pipeEnds) == 0);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        QString why;
        const bool written = ScriptWriter::writeFile(path, lines, &why);
        const QByteArray reason = why.toUtf8();
        if (write(pipeEnds[1], reason.constData(), size_t(reason.size())) < 0)
            _exit(3);
        _exit(written ? 1 : 0);
    }
    close(pipeEnds[1]);
    QByteArray reason;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        reason.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status), "the writer was killed");
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(vbu::test::readAll(path), old);
    QCOMPARE(filesIn(dir), QStringList{u"old.cfg"_s});
}

// Lines made the way the form composes them: type, key and the text in double quotes.
void TestScriptWriter::composedLinesRoundTrip()
{
    const Items texts{"+forward", "use rocket launcher;wait;+attack", "say \x80\xff\xe9 hi", "",
                      "fov 30; sensitivity 2"};
    const Items keys{"w", "mouse1", "F3", "\xe0"};
    Items composed{"//Created by : Vantor's Bind Utility"};
    for (const char *type : {"bind", "set", "alias"}) {
        for (const QByteArray &key : keys) {
            for (const QByteArray &text : texts)
                composed.append(type + " "_ba + key + " \"" + text + '"');
        }
    }
    const QByteArray bytes = ScriptWriter::toBytes(linesOf(composed));
    QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::Open).toList(), composed);
    QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::CommandLine).toList(), composed);
}

void TestScriptWriter::commaLineSplitsOnReload()
{
    const QByteArray bytes = ScriptWriter::toBytes(linesOf({"bind x \"say a, b, c\""}));
    QCOMPARE(ScriptReader::parse(bytes, ScriptReader::Mode::Open).toList(), (Items{"bind x \"say a", "b", "c\""}));
}

void TestScriptWriter::corpusRoundTrips_data()
{
    QTest::addColumn<QString>("path");
    const QStringList files = vbu::test::corpusFiles();
    QVERIFY(!files.isEmpty());
    for (const QString &path : files)
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

// Save writes each item as a line of its own, and reading a line back gives the item itself
// unless it holds a comma or begins with a blank, a tab or a double quote. Real configs have a
// few such items (bind "," "+moveleft" loads as [bind "] and [ +moveleft"]); those may come
// back changed, but only as their own line would.
void TestScriptWriter::corpusRoundTrips()
{
    QFETCH(QString, path);
    const auto first = ScriptReader::readFile(path, ScriptReader::Mode::Open);
    QVERIFY2(first.ok, qPrintable(first.error));
    QVERIFY(!first.lines.isEmpty());
    QTemporaryDir dir;
    const QString copy = dir.filePath(u"saved.cfg"_s);
    QString why;
    QVERIFY2(ScriptWriter::writeFile(copy, first.lines, &why), qPrintable(why));
    const auto second = ScriptReader::readFile(copy, ScriptReader::Mode::Open);
    QVERIFY(second.ok);

    Items expected;
    for (const QByteArray &item : first.lines.toList()) {
        const Items back = ScriptReader::parse(item + "\r\n", ScriptReader::Mode::Open).toList();
        const bool keeps =
            !item.contains(',') && !item.startsWith(' ') && !item.startsWith('\t') && !item.startsWith('"');
        if (keeps)
            QCOMPARE(back, Items{item});
        expected += back;
    }
    QCOMPARE(second.lines.toList(), expected);
}

QTEST_GUILESS_MAIN(TestScriptWriter)
#include "tst_scriptwriter.moc"
