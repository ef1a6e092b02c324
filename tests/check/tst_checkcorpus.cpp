#include "core/check/CheckProfile.h"
#include "core/check/GameProfiles.h"
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
    // The port each config was written for, as its name or its header says.
    const QHash<QString, QString> ports{{u"q1-multi-engine-autoexec.cfg"_s, u"quakespasm"_s},
                                        {u"q1-vkquake-autoexec.cfg"_s, u"quakespasm"_s},
                                        {u"q2pro-custom.cfg"_s, u"q2pro"_s},
                                        {u"q2repro-postexec.cfg"_s, u"q2pro"_s}};
    const QStringList files = vbu::test::corpusFiles();
    QCOMPARE(files.size(), 6);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        QStringList games{name.startsWith("q1-"_L1) ? u"quake"_s : u"quake2"_s, u"both"_s};
        if (ports.contains(name))
            games.append(ports.value(name));
        for (const QString &game : games)
            QTest::addRow("%s/%s", qPrintable(name), qPrintable(game)) << file << game;
    }
}

// Each finding of these files was read once against the file, the engines' rules and the
// sources of the ports; the reports are kept as the expected output.
void TestCheckCorpus::findingsAreTheReviewedOnes()
{
    QFETCH(QString, file);
    QFETCH(QString, game);
    const QString name = QFileInfo(file).fileName();
    QString error;
    const std::optional<vbu::CheckProfile> profile =
        vbu::CheckProfile::load(game, vbu::GameProfiles::directory(), &error);
    QVERIFY2(profile && error.isEmpty(), qPrintable(error));
    QString actual;
    for (const vbu::CheckFinding &f : ScriptChecker::checkFile(vbu::test::readAll(file), profile->target()))
        actual += ScriptChecker::format(name, f) + u'\n';
    const QByteArray expected =
        vbu::test::readAll(vbu::test::dataPath(u"check/"_s + name + u'.' + game + u".expected"_s));
    QCOMPARE(actual.split(u'\n'), QString::fromUtf8(expected).split(u'\n'));
}

QTEST_GUILESS_MAIN(TestCheckCorpus)
#include "tst_checkcorpus.moc"
