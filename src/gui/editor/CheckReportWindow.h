#pragma once

#include "core/check/CheckProfile.h"
#include "core/check/ScriptChecker.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;

namespace vbu {

class CheckFindingsModel;
class ScriptModel;

// frmCheck: what goes wrong when the game runs the script, one finding a row, for the game
// profile chosen in it (both original games until another is chosen; the choice is not kept
// when the window closes). It is modeless and has no owner. Each check offers marks for the lines with findings
// (marksChanged), and any change of the script checks it again; the marks go with the window (marksRemoved). A double
// click on a finding asks for its line (lineActivated).
class CheckReportWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckReportWindow)

public:
    // Checks nothing until runCheck(). The window deletes itself when closed.
    explicit CheckReportWindow(const ScriptModel &script);

    // The chosen profile's name: quake, quake2, both, or a port's.
    QString profileName() const;
    const QList<CheckFinding> &findings() const;

signals:
    // The row from 0 of the line a finding is about.
    void lineActivated(qsizetype row);
    // The findings of the check just made, for marks on their lines.
    void marksChanged(const QList<CheckFinding> &findings);
    // The window is closing: no marks any more.
    void marksRemoved();

public slots:
    // Checks the script as it is now, for the chosen profile.
    void runCheck();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void goToFinding(const QModelIndex &index);

    const ScriptModel &m_script;
    CheckFindingsModel *m_model;
    QComboBox *m_cmbProfile;
    // The profiles offered, in the chooser's order, and why each could not be read (empty when it was).
    std::vector<CheckProfile> m_profiles;
    QStringList m_profileErrors;
    QLabel *m_lblSummary;
    // Changes to the list come in bursts (a load reports each row); one check follows them.
    QTimer m_recheck;
};

} // namespace vbu
