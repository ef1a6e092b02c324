#include "core/check/ScriptChecker.h"
#include "support/TestData.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::ScriptChecker;

class TestCheckCorpus : public QObject
{
    Q_OBJECT

private slots:
    void findingsAreTheReviewedOnes_data();
    void findingsAreTheReviewedOnes();
};

void TestCheckCorpus::findingsAreTheReviewedOnes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("game");
    const QStringList files = vbu::test::corpusFiles();
    QCOMPARE(files.size(), 6);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        for (const QString &game : {name.startsWith("q1-"_L1) ? u"quake"_s : u"quake2"_s, u"both"_s})
            QTest::addRow("%s/%s", qPrintable(name), qPrintable(game)) << file << game;
    }
}

// Each finding of these files was read once against the file and the engines' rules; the
// reports are kept as the expected output.
void TestCheckCorpus::findingsAreTheReviewedOnes()
{
    QFETCH(QString, file);
    QFETCH(QString, game);
    const QString name = QFileInfo(file).fileName();
    QString actual;
    for (const vbu::CheckFinding &f :
         ScriptChecker::checkFile(vbu::test::readAll(file), *ScriptChecker::gameFromName(game)))
        actual += ScriptChecker::format(name, f) + u'\n';
    const QByteArray expected =
        vbu::test::readAll(vbu::test::dataPath(u"check/"_s + name + u'.' + game + u".expected"_s));
    QCOMPARE(actual.split(u'\n'), QString::fromUtf8(expected).split(u'\n'));
}

QTEST_GUILESS_MAIN(TestCheckCorpus)
#include "tst_checkcorpus.moc"
