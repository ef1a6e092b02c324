#include "gui/catalogue/DockedToolWindow.h"

#include <QCheckBox>
#include <QTest>

using namespace Qt::StringLiterals;

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

// Counts the moves a window reports.
class MoveCounter final : public QObject
{
public:
    explicit MoveCounter(QWidget *w) { w->installEventFilter(this); }
    int moves = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        moves += e->type() == QEvent::Move;
        return false;
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
    void init()
    {
        main = std::make_unique<QWidget>();
        main->setGeometry(120, 90, 480, 400);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup()
    {
        delete tool.data();
        main.reset();
    }

    void opensDockedAtTheRightEdge()
    {
        tool = new Probe(main.get());
        tool->show();
        QVERIFY(QTest::qWaitForWindowExposed(tool.data()));
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
        QCOMPARE(tool->chkDocked()->text(), u"Dock to Main Window"_s);
        QVERIFY(tool->chkDocked()->isChecked());
        QCOMPARE(tool->size(), QSize(197, 376)); // width and height are left alone
    }

    void followsTheMainWindowAndSettles()
    {
        tool = new Probe(main.get());
        tool->show();
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
        for (const QPoint by : {QPoint(37, 11), QPoint(-60, 25), QPoint(0, -40)}) {
            MoveCounter counter(tool.data());
            const QPoint before = tool->pos();
            main->move(main->pos() + by);
            QTRY_COMPARE(tool->pos(), before + by);
            // One move of the tool, then quiet: the rule never feeds itself.
            QTest::qWait(30);
            QCOMPARE(counter.moves, 1);
        }
    }

    void aDraggedDockedWindowGoesBack()
    {
        tool = new Probe(main.get());
        tool->show();
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
        tool->move(tool->pos() + QPoint(150, 200));
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
    }

    void untickedItStaysWhereItIsLeft()
    {
        tool = new Probe(main.get());
        tool->show();
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
        QTest::mouseClick(tool->chkDocked(), Qt::LeftButton);
        QVERIFY(!tool->chkDocked()->isChecked());
        const QPoint parked = dockedPlace(*main) + QPoint(90, 120);
        tool->move(parked);
        QTRY_COMPARE(tool->pos(), parked);
        main->move(main->pos() + QPoint(30, 30));
        QTest::qWait(30);
        QCOMPARE(tool->pos(), parked);
        // Ticking again docks at once.
        QTest::mouseClick(tool->chkDocked(), Qt::LeftButton);
        QTRY_COMPARE(tool->pos(), dockedPlace(*main));
    }

    void closingSaysSoAndDeletes()
    {
        tool = new Probe(main.get());
        tool->show();
        int closings = 0;
        connect(tool.data(), &vbu::DockedToolWindow::closing, this, [&] { ++closings; });
        QVERIFY(tool->close());
        QCOMPARE(closings, 1);
        QTRY_VERIFY(tool.isNull());
        // The main window goes on moving without a watcher left behind.
        main->move(main->pos() + QPoint(5, 5));
        QTest::qWait(10);
    }

private:
    std::unique_ptr<QWidget> main;
    QPointer<Probe> tool;
};

QTEST_MAIN(TestDocking)
#include "tst_docking.moc"
