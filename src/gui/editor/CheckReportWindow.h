#pragma once

#include "core/check/CheckProfile.h"
#include "core/check/ScriptChecker.h"
#include "gui/editor/ScriptLineDelegate.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QTimer;

namespace vbu {

class CheckFindingsModel;
class IncrementalCheck;
class ScriptModel;

// frmCheck: what goes wrong when the game runs the script, one finding a row, for the game
// profile chosen in it (both original games until another is chosen; the choice is not kept
// when the window closes). It is modeless and has no owner. The check runs beside the window,
// which fills as findings come; any change of the script is checked as it comes, from the lines
// it changed. Marks for the lines with findings follow the check (marksChanged) and go with the
// window (marksRemoved). A double click on a finding asks for its line (lineActivated).
class CheckReportWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckReportWindow)

public:
    // Checks nothing until runCheck(). The window deletes itself when closed.
    explicit CheckReportWindow(const ScriptModel &script);
    ~CheckReportWindow() override;

    // The chosen profile's name: quake, quake2, both, or a port's.
    QString profileName() const;
    QList<CheckFinding> findings() const;
    // Whether lines are left to check.
    bool isChecking() const;

signals:
    // The row from 0 of the line a finding is about.
    void lineActivated(qsizetype row);
    // The marks of the lines, as the check has found so far.
    void marksChanged(const vbu::ScriptLineDelegate::MarkOf &markOf);
    // The window is closing: no marks any more.
    void marksRemoved();
    // Every line is checked.
    void checkFinished();

public slots:
    // Checks the whole script afresh, for the chosen profile.
    void runCheck();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void goToFinding(const QModelIndex &index);
    void findingsChanged(qsizetype firstRow);
    void showFindings();

    IncrementalCheck *m_check;
    CheckFindingsModel *m_model;
    QComboBox *m_cmbProfile;
    // The profiles offered, in the chooser's order, and why each could not be read (empty when it was).
    std::vector<CheckProfile> m_profiles;
    QStringList m_profileErrors;
    QLabel *m_lblSummary;
    // The list, its summary and the marks follow the check a few times a second, from the first
    // row that changed since they last did: repainting them for every batch of a long check cost
    // the window more than taking in the batches.
    QTimer *m_showFindings;
    qsizetype m_firstChangedRow = -1;
};

} // namespace vbu
