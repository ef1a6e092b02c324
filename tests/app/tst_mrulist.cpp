#include "core/app/MruList.h"
#include "support/TestData.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString key = u"Vantor's Bind Utility"_s;

// A list set up as the main window sets it up.
struct Menu
{
    Menu()
    {
        list.setKeyName(key);
        list.setCapacity(4);
    }
    vbu::MruList list;
};

} // namespace

class TestMruList : public QObject
{
    Q_OBJECT

private slots:
    void init() { vbu::test::clearRecentFiles(); }

    void orderCapacityRemovalAndTheNextRun()
    {
        Menu m;
        QSignalSpy changes(&m.list, &vbu::MruList::changed);
        for (const QString &name : {u"/a"_s, u"/b"_s, u"/R&D.cfg"_s, u"/c"_s, u"/d"_s})
            m.list.addFile(name);
        QVERIFY(!m.list.addFile(u"/c"_s)); // already there: moves to the top
        QCOMPARE(m.list.files(), (QStringList{u"/c"_s, u"/d"_s, u"/R&D.cfg"_s, u"/b"_s}));
        m.list.removeFile(u"/d"_s);
        m.list.removeFile(u"/not there"_s);
        // Each change is told once; a name that is not there changes nothing.
        QCOMPARE(changes.size(), 7);
        Menu next;
        QCOMPARE(next.list.files(), (QStringList{u"/c"_s, u"/R&D.cfg"_s, u"/b"_s}));
    }

    void damagedStoreStillLoads_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("one string") << QVariant(u"/x.cfg"_s) << QStringList{u"/x.cfg"_s};
        QTest::newRow("blanks and twins")
            << QVariant(QStringList{QString(), u"/a"_s, u"/a"_s, QString(), u"/b"_s}) << QStringList{u"/a"_s, u"/b"_s};
        QTest::newRow("too many, missing files stay")
            << QVariant(QStringList{u"/no/1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s})
            << QStringList{u"/no/1"_s, u"2"_s, u"3"_s, u"4"_s};
    }

    void damagedStoreStillLoads()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, loaded);
        QSettings store(QSettings::IniFormat, QSettings::UserScope, key, u"recent-files"_s);
        store.setValue(u"files"_s, stored);
        store.sync();
        QCOMPARE(Menu().list.files(), loaded);
        // A file of garbage, too.
        vbu::test::writeAll(store.fileName(), QByteArray("\x00\xff[files\n=\"\\\n\x01\x02", 14));
        Menu after;
        after.list.addFile(u"/after.cfg"_s);
        QCOMPARE(after.list.files(), QStringList{u"/after.cfg"_s});
    }
};

QTEST_GUILESS_MAIN(TestMruList)
#include "tst_mrulist.moc"
