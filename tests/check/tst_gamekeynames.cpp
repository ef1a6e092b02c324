#include "core/editor/GameKeyNames.h"
#include "support/TestData.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vbu::GameKeyNames;
using Table = GameKeyNames::Table;

Q_DECLARE_METATYPE(vbu::GameKeyNames::Table)

class TestGameKeyNames : public QObject
{
    Q_OBJECT

private slots:
    void tablesAreTheGamesOwn_data();
    void tablesAreTheGamesOwn();
    void lookUp_data();
    void lookUp();
    void portNamesAreNotTheGamesOwn();
};

void TestGameKeyNames::tablesAreTheGamesOwn_data()
{
    QTest::addColumn<Table>("table");
    QTest::addColumn<QString>("file");
    QTest::newRow("quake") << Table::Quake << u"quake/keys-quake.tsv"_s;
    QTest::newRow("quake2") << Table::Quake2 << u"quake/keys-quake2.tsv"_s;
}

// The program keeps its own copy of the tables; it must match the games' lists line for line.
void TestGameKeyNames::tablesAreTheGamesOwn()
{
    QFETCH(Table, table);
    QFETCH(QString, file);
    QStringList fromFile;
    for (const QByteArray &line : vbu::test::readAll(vbu::test::dataPath(file)).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.trimmed().split('\t');
        QCOMPARE(fields.size(), 2);
        fromFile.append(QString::fromLatin1(fields.at(0)) + u'=' + QString::fromLatin1(fields.at(1)));
    }
    QStringList kept;
    for (const GameKeyNames::Entry &e : GameKeyNames::table(table))
        kept.append(QString(e.name) + u'=' + QString::number(e.number));
    QCOMPARE(kept, fromFile);
}

void TestGameKeyNames::lookUp_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("quake");
    QTest::addColumn<int>("quake2");
    QTest::addColumn<bool>("port");
    // -1: not in the table
    QTest::newRow("upper case") << "ENTER"_ba << 13 << 13 << false;
    QTest::newRow("any case") << "mWheelUp"_ba << 239 << 240 << false;
    QTest::newRow("keypad") << "kp_enter"_ba << -1 << 169 << false;
    QTest::newRow("port mouse") << "mouse5"_ba << -1 << -1 << true;
    QTest::newRow("port pad") << "LTrigger"_ba << -1 << -1 << true;
    QTest::newRow("unknown") << "MOUSE9"_ba << -1 << -1 << false;
    QTest::newRow("one character is not looked up") << "a"_ba << -1 << -1 << false;
    QTest::newRow("prefix is not a name") << "ENTE"_ba << -1 << -1 << false;
    QTest::newRow("empty") << ""_ba << -1 << -1 << false;
}

void TestGameKeyNames::lookUp()
{
    QFETCH(QByteArray, name);
    QFETCH(int, quake);
    QFETCH(int, quake2);
    QFETCH(bool, port);
    QCOMPARE(GameKeyNames::keyNumber(name, Table::Quake).value_or(-1), quake);
    QCOMPARE(GameKeyNames::keyNumber(name, Table::Quake2).value_or(-1), quake2);
    QCOMPARE(GameKeyNames::isPortName(name), port);
}

void TestGameKeyNames::portNamesAreNotTheGamesOwn()
{
    for (QLatin1StringView name : GameKeyNames::portNames()) {
        const QByteArray bytes = QString(name).toLatin1();
        QVERIFY2(!GameKeyNames::keyNumber(bytes, Table::Quake), bytes.constData());
        QVERIFY2(!GameKeyNames::keyNumber(bytes, Table::Quake2), bytes.constData());
        QCOMPARE(bytes, bytes.toUpper());
    }
    // Quake 2 knows every name Quake knows.
    for (const GameKeyNames::Entry &e : GameKeyNames::table(Table::Quake))
        QVERIFY(GameKeyNames::keyNumber(QString(e.name).toLatin1(), Table::Quake2));
}

QTEST_GUILESS_MAIN(TestGameKeyNames)
#include "tst_gamekeynames.moc"
