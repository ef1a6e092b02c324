#include "gui/editor/CheckReportWindow.h"

#include "core/check/GameProfiles.h"
#include "core/check/OpenChangeFindings.h"
#include "core/script/ScriptModel.h"
#include "gui/editor/CheckFindingsModel.h"
#include "gui/editor/ScriptLineDelegate.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

constexpr int recheckDelayMs = 150;

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

} // namespace

CheckReportWindow::CheckReportWindow(const ScriptModel &script)
    : QWidget(nullptr, Qt::Window), m_script(script), m_model(new CheckFindingsModel(this)),
      m_cmbProfile(new QComboBox(this)), m_lblSummary(new QLabel(this))
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

    auto *lstFindings = new QTreeView(this);
    lstFindings->setObjectName(u"lstFindings"_s);
    lstFindings->setRootIsDecorated(false);
    lstFindings->setItemsExpandable(false);
    lstFindings->setUniformRowHeights(true);
    lstFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstFindings->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFindings->setModel(m_model);
    // Explanations quote lines: their bytes look as they do in the list.
    lstFindings->setItemDelegateForColumn(CheckFindingsModel::TextColumn, new ScriptLineDelegate(lstFindings));
    QHeaderView *header = lstFindings->header();
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
    connect(lstFindings, &QTreeView::doubleClicked, this, &CheckReportWindow::goToFinding);

    m_recheck.setSingleShot(true);
    m_recheck.setInterval(recheckDelayMs);
    connect(&m_recheck, &QTimer::timeout, this, &CheckReportWindow::runCheck);
    const auto later = [this] { m_recheck.start(); };
    connect(&m_script, &QAbstractItemModel::rowsInserted, this, later);
    connect(&m_script, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&m_script, &QAbstractItemModel::rowsMoved, this, later);
    connect(&m_script, &QAbstractItemModel::dataChanged, this, later);
    connect(&m_script, &QAbstractItemModel::modelReset, this, later);
    connect(&m_script, &QAbstractItemModel::layoutChanged, this, later);
}

QString CheckReportWindow::profileName() const
{
    return m_cmbProfile->currentData().toString();
}

const QList<CheckFinding> &CheckReportWindow::findings() const
{
    return m_model->findings();
}

void CheckReportWindow::runCheck()
{
    m_recheck.stop();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto chosen = size_t(m_cmbProfile->currentIndex());
    QList<CheckFinding> found = OpenChangeFindings::withMarks(
        ScriptChecker::check(m_script.lines(), m_profiles.at(chosen).target()), m_script.marks());
    QGuiApplication::restoreOverrideCursor();

    qsizetype errors = 0;
    for (const CheckFinding &f : std::as_const(found))
        errors += f.severity == CheckSeverity::Error ? 1 : 0;
    const qsizetype warnings = found.size() - errors;
    QString summary = found.isEmpty() ? u"No findings."_s
                                      : counted(errors, u"error"_s, u"errors"_s) + u", "_s +
                                            counted(warnings, u"warning"_s, u"warnings"_s);
    if (const QString &error = m_profileErrors.at(qsizetype(chosen)); !error.isEmpty())
        summary += u" Commands and variables are not checked: "_s + error;
    m_lblSummary->setText(summary);
    emit marksChanged(found);
    m_model->setFindings(std::move(found));
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
    disconnect(&m_script, nullptr, this, nullptr);
    m_recheck.stop();
    emit marksRemoved();
    QWidget::closeEvent(event);
}

} // namespace vbu
