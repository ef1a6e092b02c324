#include "core/editor/ScriptChecker.h"
#include "support/TestData.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::CheckFinding;
using vbu::CheckGame;
using vbu::ScriptChecker;
using vbu::test::corpusFiles;
using vbu::test::dataPath;
using vbu::test::readAll;

Q_DECLARE_METATYPE(vbu::CheckGame)

namespace {

// Each finding of these files was read once against the file and the engines' rules; the
// reports are kept as the expected output.
QString expectedPath(const QString &file, const QString &game)
{
    return dataPath(u"check/"_s + QFileInfo(file).fileName() + u'.' + game + u".expected"_s);
}

QString report(const QString &file, CheckGame game)
{
    QString out;
    for (const CheckFinding &f : ScriptChecker::checkFile(readAll(file), game))
        out += ScriptChecker::format(QFileInfo(file).fileName(), f) + u'\n';
    return out;
}

} // namespace

class TestCheckCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpusIsThere();
    void findingsAreTheReviewedOnes_data();
    void findingsAreTheReviewedOnes();
    void bothGamesJoinTheTwoReports_data();
    void bothGamesJoinTheTwoReports();
};

void TestCheckCorpus::corpusIsThere()
{
    QCOMPARE(corpusFiles().size(), 6);
}

void TestCheckCorpus::findingsAreTheReviewedOnes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("game");
    for (const QString &file : corpusFiles()) {
        const QString name = QFileInfo(file).fileName();
        const QString own = name.startsWith("q1-"_L1) ? u"quake"_s : u"quake2"_s;
        for (const QString &game : {own, u"both"_s})
            QTest::addRow("%s/%s", qPrintable(name), qPrintable(game)) << file << game;
    }
}

void TestCheckCorpus::findingsAreTheReviewedOnes()
{
    QFETCH(QString, file);
    QFETCH(QString, game);
    const QString actual = report(file, *ScriptChecker::gameFromName(game));
    const QString expected = QString::fromUtf8(readAll(expectedPath(file, game)));
    QCOMPARE(actual.split(u'\n'), expected.split(u'\n'));
}

void TestCheckCorpus::bothGamesJoinTheTwoReports_data()
{
    QTest::addColumn<QString>("file");
    for (const QString &file : corpusFiles())
        QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
}

// Checking for both games tells everything each game alone would, each exactly once:
// unmarked when the games agree, under the game's name when they do not.
void TestCheckCorpus::bothGamesJoinTheTwoReports()
{
    QFETCH(QString, file);
    const QByteArray bytes = readAll(file);
    QList<CheckFinding> both = ScriptChecker::checkFile(bytes, CheckGame::Both);
    const QList<CheckFinding> quake = ScriptChecker::checkFile(bytes, CheckGame::Quake);
    const QList<CheckFinding> quake2 = ScriptChecker::checkFile(bytes, CheckGame::Quake2);
    QList<CheckFinding> shared;
    for (CheckFinding f : quake) {
        f.game = CheckGame::Quake2;
        if (quake2.contains(f))
            shared.append(f);
    }
    auto takeFrom = [&both](CheckFinding f, CheckGame game, const QString &prefix) {
        f.game = game;
        f.text = prefix + f.text;
        const qsizetype at = both.indexOf(f);
        if (at >= 0)
            both.removeAt(at);
        return at >= 0;
    };
    for (const CheckFinding &f : shared)
        QVERIFY2(takeFrom(f, CheckGame::Both, QString()), qPrintable(f.text));
    for (CheckFinding f : quake) {
        CheckFinding asQuake2 = f;
        asQuake2.game = CheckGame::Quake2;
        if (!shared.contains(asQuake2))
            QVERIFY2(takeFrom(f, CheckGame::Quake, u"Quake: "_s), qPrintable(f.text));
    }
    for (const CheckFinding &f : quake2) {
        if (!shared.contains(f))
            QVERIFY2(takeFrom(f, CheckGame::Quake2, u"Quake 2: "_s), qPrintable(f.text));
    }
    QVERIFY(both.isEmpty());
}

QTEST_GUILESS_MAIN(TestCheckCorpus)
#include "tst_checkcorpus.moc"
