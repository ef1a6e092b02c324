#pragma once

#include "core/check/ScriptChecker.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace vbu {

class CheckFindingsModel;
class MainWindow;
class ScriptLineDelegate;

// frmCheck: what goes wrong when the game runs the main window's list, one finding a row. It is
// modeless and has no owner; while it is open the lines with findings carry marks in the list,
// and any change of the list checks it again. A double click on a finding selects its line.
class CheckReportWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckReportWindow)

public:
    // Checks the list at once. The window deletes itself when closed, and its marks go with it.
    explicit CheckReportWindow(MainWindow &main);
    ~CheckReportWindow() override;

    CheckGame game() const;
    const QList<CheckFinding> &findings() const;

    QComboBox *cmbGame() const { return m_cmbGame; }
    QTreeView *lstFindings() const { return m_lstFindings; }
    QPushButton *cmdCheckAgain() const { return m_cmdCheckAgain; }
    QLabel *lblSummary() const { return m_lblSummary; }

public slots:
    // Checks the list as it is now, for the chosen game.
    void runCheck();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void goToFinding(const QModelIndex &index);
    void removeMarks();

    MainWindow &m_main;
    QPointer<ScriptLineDelegate> m_delegate;
    CheckFindingsModel *m_model;
    QComboBox *m_cmbGame;
    QTreeView *m_lstFindings;
    QPushButton *m_cmdCheckAgain;
    QLabel *m_lblSummary;
    // Changes to the list come in bursts (a load reports each row); one check follows them.
    QTimer m_recheck;
};

} // namespace vbu
