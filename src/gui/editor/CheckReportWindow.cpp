#include "gui/editor/CheckReportWindow.h"

#include "core/app/Counted.h"
#include "core/check/GameProfiles.h"
#include "core/check/IncrementalCheck.h"
#include "gui/editor/CheckFindingsModel.h"
#include "gui/editor/RowListView.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// How long the list may lag behind the check: well under what a reader notices.
constexpr int showFindingsMs = 40;

} // namespace

CheckReportWindow::CheckReportWindow(const ScriptModel &script)
    : QWidget(nullptr, Qt::Window), m_check(new IncrementalCheck(script, this)),
      m_model(new CheckFindingsModel(*m_check, this)), m_cmbProfile(new QComboBox(this)),
      m_lblSummary(new QLabel(this)), m_showFindings(new QTimer(this))
{
    setObjectName(u"frmCheck"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Check Script"_s);

    auto *lblProfile = new QLabel(u"&Game:"_s, this);
    lblProfile->setObjectName(u"lblProfile"_s);
    lblProfile->setBuddy(m_cmbProfile);
    m_cmbProfile->setObjectName(u"cmbProfile"_s);
    // Read once for the window's life; a port whose profile cannot be read is not offered.
    const QString directory = GameProfiles::directory();
    for (const QString &name : CheckProfile::names(directory)) {
        QString error;
        if (std::optional<CheckProfile> profile = CheckProfile::load(name, directory, &error)) {
            m_cmbProfile->addItem(profile->title(), name);
            m_profiles.push_back(std::move(*profile));
            m_profileErrors.append(error);
        }
    }
    m_cmbProfile->setCurrentIndex(m_cmbProfile->findData(QString(GameProfiles::bothName)));
    auto *cmdCheckAgain = new QPushButton(u"Check &Again"_s, this);
    cmdCheckAgain->setObjectName(u"cmdCheckAgain"_s);
    auto *cmdClose = new QPushButton(u"Close"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);
    m_lblSummary->setObjectName(u"lblSummary"_s);

    // A list with columns that keeps nothing for each row: a million findings come as fast as ten.
    auto *lstFindings = new RowListView(this);
    lstFindings->setObjectName(u"lstFindings"_s);
    lstFindings->setTabKeyNavigation(false);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFindings->setModel(m_model);
    // Explanations quote lines: their bytes look as they do in the list.
    lstFindings->setItemDelegateForColumn(CheckFindingsModel::TextColumn, new ScriptLineDelegate(lstFindings));
    QHeaderView *header = lstFindings->header();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(CheckFindingsModel::TextColumn, QHeaderView::Stretch);
    header->resizeSection(CheckFindingsModel::LineColumn, 60);
    header->resizeSection(CheckFindingsModel::SeverityColumn, 90);
    header->resizeSection(CheckFindingsModel::OtherLineColumn, 70);

    auto *top = new QHBoxLayout;
    top->addWidget(lblProfile);
    top->addWidget(m_cmbProfile);
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

    connect(m_cmbProfile, &QComboBox::currentIndexChanged, this, &CheckReportWindow::runCheck);
    connect(cmdCheckAgain, &QPushButton::clicked, this, &CheckReportWindow::runCheck);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    // A double click or Enter.
    connect(lstFindings, &QAbstractItemView::activated, this, &CheckReportWindow::goToFinding);

    m_showFindings->setSingleShot(true);
    m_showFindings->setInterval(showFindingsMs);
    connect(m_showFindings, &QTimer::timeout, this, &CheckReportWindow::showFindings);
    connect(m_check, &IncrementalCheck::findingsChanged, this, &CheckReportWindow::findingsChanged);
    connect(m_check, &IncrementalCheck::finished, this, [this] {
        // What the last batches changed shows now, with the end of the check.
        if (m_showFindings->isActive()) {
            m_showFindings->stop();
            showFindings();
        }
        unsetCursor();
        emit checkFinished();
    });
}

CheckReportWindow::~CheckReportWindow()
{
    // The check's worker reads the profiles, which go before the check would.
    disconnect(m_check, nullptr, this, nullptr);
    m_check->stop();
}

QString CheckReportWindow::profileName() const
{
    return m_cmbProfile->currentData().toString();
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
    m_check->start(m_profiles.at(size_t(m_cmbProfile->currentIndex())).target());
}

void CheckReportWindow::findingsChanged(qsizetype firstRow)
{
    m_firstChangedRow = m_firstChangedRow < 0 ? firstRow : std::min(m_firstChangedRow, firstRow);
    if (!m_showFindings->isActive())
        m_showFindings->start();
}

void CheckReportWindow::showFindings()
{
    m_model->findingsChanged(std::exchange(m_firstChangedRow, -1));
    const qsizetype errors = m_check->errorCount();
    const qsizetype warnings = m_check->findingCount() - errors;
    QString summary = m_check->findingCount() == 0 ? u"No findings."_s
                                                   : counted(errors, u"error"_s, u"errors"_s) + u", "_s +
                                                         counted(warnings, u"warning"_s, u"warnings"_s);
    if (const QString &error = m_profileErrors.at(m_cmbProfile->currentIndex()); !error.isEmpty())
        summary += u" Commands and variables are not checked: "_s + error;
    m_lblSummary->setText(summary);
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
    // The marks go with the window, now rather than when it is deleted; no check may follow,
    // and nothing the list had yet to show.
    m_check->stop();
    m_showFindings->stop();
    emit marksRemoved();
    QWidget::closeEvent(event);
}

} // namespace vbu
