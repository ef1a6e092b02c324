#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolBar;
class QTreeView;

namespace vbu {

class CheckReportWindow;
class LogoBox;
class LogoPainter;
class MruList;
class Prompter;
class ScriptEdits;
class ToolWindowSwitch;
class ScriptModel;

// frmMain: the script being edited, the controls that compose its lines, the file and edit
// commands, and the switches of the tool windows. The caption is the record of the current
// file: the product name while the script has none, the file's full name otherwise.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    static constexpr int toolbarButtonCount = 17;

    // commandLine: the program's arguments joined by single blanks, as given.
    MainWindow(Prompter &prompter, const QString &commandLine, QWidget *parent = nullptr);
    ~MainWindow() override;

    Prompter &prompter() const { return m_prompter; }
    ScriptModel &script() const { return *m_script; }
    // Changes to the script go through here, so that they can be undone.
    ScriptEdits &edits() const { return *m_edits; }
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool hasCurrentFile() const;
    // sFileName: the working file name of Open, Save, Save As and the command line.
    QString fileName() const { return m_fileName; }

    // The selected line's row from 0, or -1.
    qsizetype selectedRow() const;
    void selectRow(qsizetype row);
    // Takes the line out; the line that takes its place is selected, so the next removal can follow.
    void removeLine(qsizetype row);

    QTreeView *lstBind() const { return m_lstBind; }
    QLineEdit *txtBind() const { return m_txtBind; }
    QComboBox *txtKey() const { return m_txtKey; }
    QComboBox *cmbType() const { return m_cmbType; }
    QLabel *lblQuote() const { return m_lblQuote; }
    QProgressBar *progress() const { return m_progress; }
    QMenu *editMenu() const { return m_mnuEdit; }
    MruList &recentFiles() const { return *m_mru; }
    ToolWindowSwitch &commandListSwitch() const { return *m_commandList; }
    ToolWindowSwitch &funNameSwitch() const { return *m_funName; }
    // The open check report, or null.
    CheckReportWindow *checkReport() const;
    // Where the Command List reads its catalogue: the one set, else CatalogueFile::path() asked
    // afresh, since an update may have made the user's own copy since the last opening.
    QString cataloguePath() const;
    void setCataloguePath(const QString &path) { m_cataloguePath = path; }
    // Button number (1 to 17) of the toolbar; separators count.
    QAction *toolbarButton(int number) const;

    // The text as script bytes, or nothing after telling the user that it cannot be one.
    std::optional<QByteArray> scriptBytesOf(const QString &text);

signals:
    // The program is to end now, with every window.
    void programEnding();

public slots:
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuFileMRU_Click(int index);
    void mnuExit_Click();

    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void mnuClearAll_Click();
    void mnuInsertC_Click();

    void mnuCommandList_Click();
    void mnuFunName_Click();
    void mnuEditColors_Click();
    void mnuCheckScript_Click();
    void mnuAbout_Click();

    void cmdAdd_Click();
    void cmbType_Click();
    void lstBind_DblClick();
    void Toolbar1_ButtonClick(const QString &key);
    void mnuCaptureKey_Click();
    // Alt+Up and Alt+Down: the selected line one place up or down.
    void moveSelectedLine(int by);

    // Loads a file as Open and the recent files do.
    void LoadScript(const QString &name);
    // Loads the file named by the command line, quietly.
    void CommandLineOpen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void Form_Load();
    // A local file dragged from the desktop, or empty.
    static QString droppedFileName(const QMimeData *data);
    void lstBind_MouseDown(Qt::MouseButton button, const QPoint &globalPos);
    // Asks for a file name with the shared dialog settings; empty when cancelled.
    QString askFileName(bool save, const QString &title);
    // Writes the list to sFileName; false when nothing was written.
    bool writeList();
    bool saveToCurrentOrChosen();

    Prompter &m_prompter;
    ScriptModel *m_script;
    ScriptEdits *m_edits;
    MruList *m_mru;
    QString m_commandLine;
    QString m_caption;
    QString m_fileName;
    QString m_dialogFileName;
    QString m_cataloguePath;
    ToolWindowSwitch *m_commandList = nullptr;
    ToolWindowSwitch *m_funName = nullptr;
    QPointer<CheckReportWindow> m_checkReport;

    QToolBar *m_toolbar = nullptr;
    std::array<QAction *, toolbarButtonCount> m_toolbarButtons{};
    LogoBox *m_picLogo = nullptr;
    // The logo painter, made when first needed.
    std::unique_ptr<LogoPainter> m_logo;
    QComboBox *m_cmbType = nullptr;
    QComboBox *m_txtKey = nullptr;
    QLineEdit *m_txtBind = nullptr;
    QPushButton *m_cmdAdd = nullptr;
    QLabel *m_lblQuote = nullptr;
    QTreeView *m_lstBind = nullptr;
    QProgressBar *m_progress = nullptr;
    QMenu *m_mnuEdit = nullptr;
    QAction *m_mnuCommandList = nullptr;
    QAction *m_mnuFunName = nullptr;
    QAction *m_mnuCaptureKey = nullptr;
};

} // namespace vbu
