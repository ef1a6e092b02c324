#pragma once

#include "core/app/MruList.h"
#include "core/script/ScriptReader.h"

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QHelpEvent;
class QLabel;
class QLineEdit;
class QMimeData;
class QMenu;
class QProgressBar;
class QToolBar;
class QTreeView;

namespace vbu {

class CheckReportWindow;
class KeyMapWindow;
class LogoBox;
class LogoPainter;
class NameHelp;
class Prompter;
class ScriptEdits;
class ScriptModel;
class ToolWindowSwitch;

// frmMain: the script being edited, the controls that compose its lines, the file and edit
// commands, and the switches of the tool windows. The caption is the record of the current
// file: the product name while the script has none, the file's full name otherwise.
//
// Every command is one QAction, shared by its menu entry, its toolbar button and its shortcut.
// The tool windows know nothing of this window: they work on the script and the prompter and
// report through signals, which are connected here.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    // When the window's start-up runs: the logo, the recent files and the file the arguments name.
    enum class StartUp { Now, Later };

    // arguments: the program's arguments after its name. Joined by single blanks they are the
    // name of a file to open at start-up; only "--exact" followed by exactly one argument is an
    // option, which opens that file as Open Exactly does. With StartUp::Later the window is made
    // but waits for startUp().
    MainWindow(Prompter &prompter, const QStringList &arguments, StartUp when = StartUp::Now);
    ~MainWindow() override;

    // The state behind the window, for the tests.
    ScriptModel &script() const { return *m_script; }
    // Changes to the script go through here, so that they can be undone.
    ScriptEdits &edits() const { return *m_edits; }
    QString caption() const { return m_caption; }
    // The working file name (m_fileName) of Open, Save, Save As and the command line.
    QString fileName() const { return m_fileName; }
    MruList &recentFiles() const { return *m_mru; }
    ToolWindowSwitch &commandListSwitch() const { return *m_commandList; }
    ToolWindowSwitch &funNameSwitch() const { return *m_funName; }
    // The open check report, or null.
    CheckReportWindow *checkReport() const;
    // Where the Command List reads its catalogue: the one set, else CatalogueFile::path() asked
    // afresh, since an update may have made the user's own copy since the last opening.
    QString cataloguePath() const;
    void setCataloguePath(const QString &path) { m_cataloguePath = path; }

    // The selected line's row from 0, or -1.
    qsizetype selectedRow() const;
    void selectRow(qsizetype row);

signals:
    // The program is to end now, with every window.
    void programEnding();

public slots:
    void newFile();
    void open();
    // As Open, but every line of the file becomes one item, as it stands.
    void openExactly();
    void closeFile();
    void save();
    void saveAs();
    // index counts from 1.
    void openRecentFile(int index);
    void exitProgram();

    void listCutClip();
    void listCopyClip();
    void listPasteClip();
    void deleteSelected();
    void clearAll();
    void insertComment();

    void toggleCommandList();
    void toggleFunNameEditor();
    void editColors();
    void checkScript();
    void showKeyMap();
    void about();

    // Composes type, key and binding text into a line at the end of the list.
    void addBinding();
    void editSelectedLine();
    void captureKey();
    // Alt+Up and Alt+Down: the selected line one place up or down.
    void moveSelectedLine(int by);

    // Loads a file as Open and the recent files do, or with mode Exact as Open Exactly does.
    // Asks for a file with a dialog of that title and reads it as mode says.
    void askAndLoad(const QString &title, ScriptReader::Mode mode);
    void loadScript(const QString &name, ScriptReader::Mode mode = ScriptReader::Mode::Open);
    // Loads the file named by the command line, quietly.
    void commandLineOpen();
    // The window's start-up, for one made with StartUp::Later; once.
    void startUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void buildToolbar();
    void setCaption(const QString &caption);
    bool hasCurrentFile() const;
    // Takes the line out; the line that takes its place is selected, so the next removal can follow.
    void removeLine(qsizetype row);
    // The text as script bytes, or nothing after telling the user that it cannot be one.
    std::optional<QByteArray> scriptBytesOf(const QString &text);
    // The File menu's recent-file entries and their divider show the recent-files list.
    void showRecentFiles();
    // A command from the Command List, joined to the binding text with ";".
    void appendToBinding(const QString &command);
    // A line the check report points at: selected, with the focus in the list.
    void showLine(qsizetype row);
    // A local file dragged from the desktop, or empty.
    static QString droppedFileName(const QMimeData *data);
    void listMousePressed(Qt::MouseButton button, const QPoint &globalPos);
    // A tool tip over the binding text with what the command or variable under the pointer does;
    // false when it is on none, for the field's own tool tip.
    bool showBindingHelp(const QHelpEvent &event);
    // Asks for a file name with the shared dialog settings; empty when cancelled.
    QString askFileName(bool save, const QString &title);
    // Writes the list to the working file name; false when nothing was written.
    bool writeList();
    bool saveToCurrentOrChosen();

    Prompter &m_prompter;
    ScriptModel *m_script;
    ScriptEdits *m_edits;
    MruList *m_mru;
    QString m_commandLine;
    ScriptReader::Mode m_commandLineMode = ScriptReader::Mode::CommandLine;
    QString m_caption;
    QString m_fileName;
    QString m_dialogFileName;
    QString m_cataloguePath;
    ToolWindowSwitch *m_commandList = nullptr;
    ToolWindowSwitch *m_funName = nullptr;
    QPointer<CheckReportWindow> m_checkReport;
    QPointer<KeyMapWindow> m_keyMap;

    QToolBar *m_toolbar = nullptr;
    LogoBox *m_picLogo = nullptr;
    // The logo painter, made when first needed.
    std::unique_ptr<LogoPainter> m_logo;
    // What the game profiles say about names, read when first needed.
    std::unique_ptr<NameHelp> m_nameHelp;
    QComboBox *m_cmbType = nullptr;
    QComboBox *m_txtKey = nullptr;
    QLineEdit *m_txtBind = nullptr;
    QLabel *m_lblQuote = nullptr;
    QTreeView *m_lstBind = nullptr;
    QProgressBar *m_progress = nullptr;
    QMenu *m_mnuEdit = nullptr;
    std::array<QAction *, MruList::maxEntries> m_mnuFileMRU{};
    QAction *m_mnuMRUDiv = nullptr;
    QAction *m_mnuCommandList = nullptr;
    QAction *m_mnuFunName = nullptr;
    QAction *m_mnuCaptureKey = nullptr;
};

} // namespace vbu
