#include "gui/editor/CheckReportWindow.h"

#include "core/check/IncrementalCheck.h"
#include "gui/editor/CheckFindingsModel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

} // namespace

CheckReportWindow::CheckReportWindow(const ScriptModel &script)
    : QWidget(nullptr, Qt::Window), m_check(new IncrementalCheck(script, this)),
      m_model(new CheckFindingsModel(*m_check, this)), m_cmbGame(new QComboBox(this)), m_lblSummary(new QLabel(this))
{
    setObjectName(u"frmCheck"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Check Script"_s);

    auto *lblGame = new QLabel(u"&Game:"_s, this);
    lblGame->setObjectName(u"lblGame"_s);
    lblGame->setBuddy(m_cmbGame);
    m_cmbGame->setObjectName(u"cmbGame"_s);
    m_cmbGame->addItem(u"Quake"_s, int(CheckGame::Quake));
    m_cmbGame->addItem(u"Quake 2"_s, int(CheckGame::Quake2));
    m_cmbGame->addItem(u"Both"_s, int(CheckGame::Both));
    m_cmbGame->setCurrentIndex(m_cmbGame->findData(int(CheckGame::Both)));
    auto *cmdCheckAgain = new QPushButton(u"Check &Again"_s, this);
    cmdCheckAgain->setObjectName(u"cmdCheckAgain"_s);
    auto *cmdClose = new QPushButton(u"Close"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);
    m_lblSummary->setObjectName(u"lblSummary"_s);

    // A list with columns. A table rather than a tree: a tree lays out every row again when rows
    // come or change, which a million findings make too slow for a window that fills as it goes.
    auto *lstFindings = new QTableView(this);
    lstFindings->setObjectName(u"lstFindings"_s);
    lstFindings->setShowGrid(false);
    lstFindings->setWordWrap(false);
    lstFindings->setTabKeyNavigation(false);
    lstFindings->setCornerButtonEnabled(false);
    QHeaderView *rowHeader = lstFindings->verticalHeader();
    rowHeader->hide();
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setMinimumSectionSize(1);
    rowHeader->setDefaultSectionSize(QFontMetrics(lstFindings->font()).height() + 4);
    lstFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFindings->setModel(m_model);
    // Explanations quote lines: their bytes look as they do in the list.
    lstFindings->setItemDelegateForColumn(CheckFindingsModel::TextColumn, new ScriptLineDelegate(lstFindings));
    QHeaderView *header = lstFindings->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(CheckFindingsModel::TextColumn, QHeaderView::Stretch);
    header->resizeSection(CheckFindingsModel::LineColumn, 60);
    header->resizeSection(CheckFindingsModel::SeverityColumn, 90);
    header->resizeSection(CheckFindingsModel::OtherLineColumn, 70);

    auto *top = new QHBoxLayout;
    top->addWidget(lblGame);
    top->addWidget(m_cmbGame);
    top->addStretch();
    top->addWidget(cmdCheckAgain);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_lblSummary, 1);
    bottom->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstFindings, 1);
    layout->addLayout(bottom);
    resize(760, 300);

    connect(m_cmbGame, &QComboBox::currentIndexChanged, this, &CheckReportWindow::runCheck);
    connect(cmdCheckAgain, &QPushButton::clicked, this, &CheckReportWindow::runCheck);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    connect(lstFindings, &QTableView::doubleClicked, this, &CheckReportWindow::goToFinding);

    connect(m_check, &IncrementalCheck::findingsChanged, this, &CheckReportWindow::findingsChanged);
    connect(m_check, &IncrementalCheck::finished, this, [this] {
        unsetCursor();
        emit checkFinished();
    });
}

CheckGame CheckReportWindow::game() const
{
    return CheckGame(m_cmbGame->currentData().toInt());
}

QList<CheckFinding> CheckReportWindow::findings() const
{
    return m_check->findings();
}

bool CheckReportWindow::isChecking() const
{
    return m_check->isRunning();
}

void CheckReportWindow::runCheck()
{
    // The window stays usable while the check runs; the cursor tells it is at work.
    setCursor(Qt::BusyCursor);
    m_check->start(game());
}

void CheckReportWindow::findingsChanged(qsizetype firstRow)
{
    m_model->findingsChanged(firstRow);
    const qsizetype errors = m_check->errorCount();
    const qsizetype warnings = m_check->findingCount() - errors;
    m_lblSummary->setText(m_check->findingCount() == 0 ? u"No findings."_s
                                                       : counted(errors, u"error"_s, u"errors"_s) + u", "_s +
                                                             counted(warnings, u"warning"_s, u"warnings"_s));
    // The marks are asked for row by row as the list paints; after the window has gone, there are none.
    emit marksChanged([check = QPointer<IncrementalCheck>(m_check)](qsizetype row) {
        return check ? check->markOf(row) : std::nullopt;
    });
}

void CheckReportWindow::goToFinding(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    emit lineActivated(index.data(CheckFindingsModel::LineRole).toLongLong() - 1);
}

void CheckReportWindow::closeEvent(QCloseEvent *event)
{
    // The marks go with the window, now rather than when it is deleted; no check may follow.
    m_check->stop();
    emit marksRemoved();
    QWidget::closeEvent(event);
}

} // namespace vbu
