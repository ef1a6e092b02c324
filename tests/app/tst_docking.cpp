#include "gui/catalogue/DockedToolWindow.h"
#include "support/TestData.h"

#include <QCheckBox>
#include <QTest>

using namespace Qt::StringLiterals;
using vbu::test::child;

namespace {

// A tool window with nothing but the docking box.
class Probe final : public vbu::DockedToolWindow
{
public:
    explicit Probe(QWidget *main) : DockedToolWindow(main)
    {
        resize(197, 376);
        placeDockBox(this, QRect(24, 358, 151, 13));
        startWatchers();
    }
};

QPoint dockedPlace(const QWidget &main)
{
    const QRect f = main.frameGeometry();
    return QPoint(f.left() + f.width(), f.top());
}

} // namespace

class TestDocking : public QObject
{
    Q_OBJECT

private slots:
    void docksFollowsAndSettles()
    {
        QWidget main;
        main.setGeometry(120, 90, 480, 400);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *tool = new Probe(&main);
        tool->show();
        QTRY_COMPARE(tool->pos(), dockedPlace(main));
        auto *docked = child<QCheckBox>(tool, u"chkDocked"_s);
        QVERIFY(docked->isChecked());
        main.move(main.pos() + QPoint(37, 11));
        QTRY_COMPARE(tool->pos(), dockedPlace(main));
        // Dragged away while docked, it goes back.
        tool->move(tool->pos() + QPoint(150, 200));
        QTRY_COMPARE(tool->pos(), dockedPlace(main));
        // Unticked, it stays where it is left, whatever the main window does.
        QTest::mouseClick(docked, Qt::LeftButton);
        const QPoint parked = dockedPlace(main) + QPoint(90, 120);
        tool->move(parked);
        main.move(main.pos() + QPoint(30, 30));
        QTest::qWait(30);
        QCOMPARE(tool->pos(), parked);
        // Ticking again docks at once.
        QTest::mouseClick(docked, Qt::LeftButton);
        QTRY_COMPARE(tool->pos(), dockedPlace(main));
        // Closing says so first, then the window goes.
        int closings = 0;
        connect(tool, &vbu::DockedToolWindow::closing, this, [&] { ++closings; });
        QPointer<Probe> gone(tool);
        QVERIFY(tool->close());
        QCOMPARE(closings, 1);
        QTRY_VERIFY(gone.isNull());
        main.move(main.pos() + QPoint(5, 5)); // no watcher left behind
    }
};

QTEST_MAIN(TestDocking)
#include "tst_docking.moc"
