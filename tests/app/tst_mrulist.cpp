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

    void orderCapacityRemovalAndCaptions()
    {
        Menu m;
        QVERIFY(!m.divider.isVisible());
        for (const QString &name : {u"/a"_s, u"/b"_s, u"/R&D.cfg"_s, u"/c"_s, u"/d"_s})
            m.list.addFile(name);
        QVERIFY(!m.list.addFile(u"/c"_s)); // already there: moves to the top
        QCOMPARE(m.list.files(), (QStringList{u"/c"_s, u"/d"_s, u"/R&D.cfg"_s, u"/b"_s}));
        QCOMPARE(m.captions(), (QStringList{u"&1 /c"_s, u"&2 /d"_s, u"&3 /R&&D.cfg"_s, u"&4 /b"_s}));
        QCOMPARE(m.list.fileName(3), u"/R&D.cfg"_s);
        QVERIFY(m.list.fileName(5).isEmpty());
        m.list.removeFile(u"/d"_s);
        m.list.removeFile(u"/not there"_s);
        QCOMPARE(m.captions(), (QStringList{u"&1 /c"_s, u"&2 /R&&D.cfg"_s, u"&3 /b"_s}));
        for (const QString &name : m.list.files())
            m.list.removeFile(name);
        QVERIFY(m.captions().isEmpty());
        QVERIFY(!m.divider.isVisible());
    }

    void listSurvivesIntoTheNextRun()
    {
        {
            Menu first;
            first.list.addFile(u"/one.cfg"_s);
            first.list.addFile(u"/two.cfg"_s);
        }
        Menu second;
        QCOMPARE(second.captions(), (QStringList{u"&1 /two.cfg"_s, u"&2 /one.cfg"_s}));
        QVERIFY(second.divider.isVisible());
    }

    void damagedStoreStillLoads_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("one string") << QVariant(u"/x.cfg"_s) << QStringList{u"/x.cfg"_s};
        QTest::newRow("number") << QVariant(42) << QStringList();
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
        QSettings(QSettings::IniFormat, QSettings::UserScope, key, u"recent-files"_s).setValue(u"files"_s, stored);
        Menu m;
        QCOMPARE(m.list.files(), loaded);
        // A file of garbage, too.
        QFile f(QSettings(QSettings::IniFormat, QSettings::UserScope, key, u"recent-files"_s).fileName());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\x00\xff[files\n=\"\\\n\x01\x02", 14);
        f.close();
        Menu after;
        after.list.addFile(u"/after.cfg"_s);
        QCOMPARE(after.list.fileName(1), u"/after.cfg"_s);
    }
};

QTEST_MAIN(TestMruList)
#include "tst_mrulist.moc"
