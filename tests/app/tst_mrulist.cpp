#include "core/app/MruList.h"
#include "support/MainWindowHarness.h"

#include <QAction>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString key = u"Vantor's Bind Utility"_s;

// A component set up as the main window sets it up, with its own menu entries.
struct Menu
{
    Menu()
    {
        list.setKeyName(key);
        list.setCapacity(4);
        list.attachDivider(&divider);
        for (int i = 0; i < 4; ++i)
            list.attachEntry(i + 1, &entries[i]);
        list.refresh();
    }
    QStringList captions() const
    {
        QStringList out;
        for (const QAction &a : entries) {
            if (a.isVisible())
                out.append(a.text());
        }
        return out;
    }
    vbu::MruList list;
    QAction divider;
    QAction entries[4];
};

} // namespace

class TestMruList : public QObject
{
    Q_OBJECT

private slots:
    void init() { vbu::test::clearRecentFiles(); }

    void mostRecentFirstAndMovedUpWhenAddedAgain()
    {
        Menu m;
        QVERIFY(m.list.addFile(u"/a.cfg"_s));
        QVERIFY(m.list.addFile(u"/b.cfg"_s));
        QVERIFY(m.list.addFile(u"/c.cfg"_s));
        QVERIFY(!m.list.addFile(u"/a.cfg"_s));
        QCOMPARE(m.list.files(), (QStringList{u"/a.cfg"_s, u"/c.cfg"_s, u"/b.cfg"_s}));
        QCOMPARE(m.captions(), (QStringList{u"&1 /a.cfg"_s, u"&2 /c.cfg"_s, u"&3 /b.cfg"_s}));
        QCOMPARE(m.list.fileName(2), u"/c.cfg"_s);
        QVERIFY(m.list.fileName(4).isEmpty());
        QVERIFY(m.list.fileName(0).isEmpty());
        QVERIFY(m.divider.isVisible());
        QVERIFY(!m.entries[3].isVisible());
    }

    void keepsFourAtMost()
    {
        Menu m;
        for (int i = 1; i <= 6; ++i)
            m.list.addFile(u"/f"_s + QString::number(i));
        QCOMPARE(m.list.files(), (QStringList{u"/f6"_s, u"/f5"_s, u"/f4"_s, u"/f3"_s}));
        QCOMPARE(m.captions().size(), 4);
    }

    void removalHidesTheEntryAndFinallyTheDivider()
    {
        Menu m;
        m.list.addFile(u"/a"_s);
        m.list.addFile(u"/b"_s);
        m.list.removeFile(u"/a"_s);
        m.list.removeFile(u"/not there"_s);
        QCOMPARE(m.captions(), QStringList{u"&1 /b"_s});
        m.list.removeFile(u"/b"_s);
        QVERIFY(m.captions().isEmpty());
        QVERIFY(!m.divider.isVisible());
    }

    void ampersandsInNamesAreNotAccessKeys()
    {
        Menu m;
        m.list.addFile(u"/games/R&D.cfg"_s);
        QCOMPARE(m.captions(), QStringList{u"&1 /games/R&&D.cfg"_s});
        QCOMPARE(m.list.fileName(1), u"/games/R&D.cfg"_s);
    }

    void listSurvivesIntoTheNextRun()
    {
        {
            Menu first;
            first.list.addFile(u"/one.cfg"_s);
            first.list.addFile(u"/two.cfg"_s);
        }
        Menu second;
        QCOMPARE(second.list.files(), (QStringList{u"/two.cfg"_s, u"/one.cfg"_s}));
        QCOMPARE(second.captions(), (QStringList{u"&1 /two.cfg"_s, u"&2 /one.cfg"_s}));
        second.list.removeFile(u"/two.cfg"_s);
        Menu third;
        QCOMPARE(third.list.files(), QStringList{u"/one.cfg"_s});
    }

    void damagedStoreStillLoads_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("one string") << QVariant(u"/x.cfg"_s) << QStringList{u"/x.cfg"_s};
        QTest::newRow("number") << QVariant(42) << QStringList();
        QTest::newRow("blanks and twins")
            << QVariant(QStringList{QString(), u"/a"_s, u"/a"_s, QString(), u"/b"_s}) << QStringList{u"/a"_s, u"/b"_s};
        QTest::newRow("too many") << QVariant(QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s})
                                  << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s};
        QTest::newRow("missing files stay")
            << QVariant(QStringList{u"/no/such/file.cfg"_s}) << QStringList{u"/no/such/file.cfg"_s};
    }

    void damagedStoreStillLoads()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, loaded);
        {
            QSettings s(QSettings::IniFormat, QSettings::UserScope, key, u"recent-files"_s);
            s.setValue(u"files"_s, stored);
        }
        Menu m;
        QCOMPARE(m.list.files(), loaded);
    }

    void garbageFileStillLoads()
    {
        QSettings probe(QSettings::IniFormat, QSettings::UserScope, key, u"recent-files"_s);
        const QString path = probe.fileName();
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x00\xff[files\n=\"\\\n\x01\x02", 14);
        f.close();
        Menu m;
        m.list.addFile(u"/after.cfg"_s);
        QCOMPARE(m.list.fileName(1), u"/after.cfg"_s);
    }
};

QTEST_MAIN(TestMruList)
#include "tst_mrulist.moc"
