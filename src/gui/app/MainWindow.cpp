#include "gui/app/MainWindow.h"

#include "core/app/AppInfo.h"
#include "core/app/FileExists.h"
#include "core/app/MruList.h"
#include "core/app/Twips.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/check/GameProfiles.h"
#include "core/check/NameHelp.h"
#include "core/editor/ScriptEdits.h"
#include "core/editor/ScriptText.h"
#include "core/script/ScriptModel.h"
#include "core/script/ScriptReader.h"
#include "core/script/ScriptWriter.h"
#include "core/ui/LogoPainter.h"
#include "gui/app/MenuKeysFirst.h"
#include "gui/app/ToolWindowSwitch.h"
#include "gui/catalogue/CommandsWindow.h"
#include "gui/editor/CheckReportWindow.h"
#include "gui/editor/KeyCaptureDialog.h"
#include "gui/editor/KeyMapWindow.h"
#include "gui/editor/Latin1Validator.h"
#include "gui/editor/ScriptLineDelegate.h"
#include "gui/editor/ToolbarIcons.h"
#include "gui/funname/NameWindow.h"
#include "gui/ui/AboutDialog.h"
#include "gui/ui/ColorsDialog.h"
#include "gui/ui/ListColors.h"
#include "gui/ui/LogoBox.h"
#include "gui/ui/Prompter.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolTip>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

const QString openSaveFilter =
    u"Quake Config Files (*.cfg)|*.cfg|Quake Script Files (*.scr)|*.scr|All Files (*.*)|*.*"_s;

QStringList keyNames()
{
    QStringList names;
    for (char c = 'a'; c <= 'z'; ++c)
        names.append(QString(QLatin1Char(c)));
    for (char c = '0'; c <= '9'; ++c)
        names.append(QString(QLatin1Char(c)));
    for (const char c : {'\\', ',', '.', '/', ';', '\'', '#', '[', ']', '-', '=', '`', '*'})
        names.append(QString(QLatin1Char(c)));
    for (int i = 1; i <= 12; ++i)
        names.append(u'f' + QString::number(i));
    names << u"enter"_s << u"space"_s << u"alt"_s << u"ctrl"_s << u"shift"_s << u"uparrow"_s << u"downarrow"_s
          << u"leftarrow"_s << u"rightarrow"_s << u"mouse1"_s << u"mouse2"_s << u"mouse3"_s << u"mwheelup"_s
          << u"mwheeldown"_s << u"pgup"_s << u"pgdn"_s << u"end"_s << u"home"_s << u"ins"_s << u"del"_s << u"pause"_s
          << u"backspace"_s << u"escape"_s << u"tab"_s;
    return names;
}

// A literal "[*]" in a file name must not turn into the modified-marker placeholder.
QString titleText(const QString &caption)
{
    QString t = caption;
    return t.replace(u"[*]"_s, u"[*][*]"_s);
}

QAction *addEntry(QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut = {})
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1StringView(name));
    a->setShortcut(shortcut);
    return a;
}

QAction *addSeparator(QMenu *menu, const char *name)
{
    QAction *a = menu->addSeparator();
    a->setObjectName(QLatin1StringView(name));
    return a;
}

template<typename W> W *place(W *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QLatin1StringView(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

MainWindow::MainWindow(Prompter &prompter, const QStringList &arguments, StartUp when)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_script(new ScriptModel(this)), m_edits(new ScriptEdits(*m_script, this)),
      m_mru(new MruList(this)), m_commandLine(arguments.join(u' ')), m_caption(AppInfo::title())
{
    if (arguments.size() == 2 && arguments.constFirst() == "--exact"_L1) {
        m_commandLine = arguments.constLast();
        m_commandLineMode = ScriptReader::Mode::Exact;
    }
    setObjectName(u"frmMain"_s);
    setWindowTitle(titleText(m_caption));
    buildControls();
    buildMenus();
    buildToolbar();
    auto *menuKeys = new MenuKeysFirst(menuBar());
    for (QWidget *field : QList<QWidget *>{m_cmbType, m_txtKey, m_txtBind, m_lstBind})
        menuKeys->watch(field);
    m_commandList = new ToolWindowSwitch(
        m_mnuCommandList,
        [this] {
            auto *window = new CommandsWindow(this, m_prompter, cataloguePath());
            connect(window, &CommandsWindow::progressMaximumChanged, m_progress, &QProgressBar::setMaximum);
            connect(window, &CommandsWindow::progressChanged, m_progress, &QProgressBar::setValue);
            connect(window, &CommandsWindow::commandChosen, this, &MainWindow::appendToBinding);
            window->load();
            return window;
        },
        this);
    m_funName = new ToolWindowSwitch(
        m_mnuFunName, [this] { return new NameWindow(this, *m_edits, m_prompter); }, this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - frameGeometry().center() + pos());
    if (when == StartUp::Now)
        startUp();
}

MainWindow::~MainWindow()
{
    // Tool windows have no owner; they go first, while what they point at still stands.
    delete m_commandList->window();
    delete m_funName->window();
    delete m_checkReport;
    delete m_keyMap;
}

void MainWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setFixedSize(Twips::toPixels(5490), Twips::toPixels(5625));
    // The design places its controls for a small 8-point face; larger ones would be clipped.
    QFont small = client->font();
    small.setPixelSize(11);
    client->setFont(small);
    setCentralWidget(client);

    m_toolbar = place(new QToolBar(client), "Toolbar1", Twips::toPixels(0, 0, 5490, 360));
    m_picLogo = place(new LogoBox(client), "picLogo", Twips::toPixels(30, 390, 240, 5220));
    place(new QLabel(u"Type"_s, client), "lblType", Twips::toPixels(540, 450, 420, 270));
    place(new QLabel(u"Key"_s, client), "lblKey", Twips::toPixels(1530, 450, 300, 270));
    place(new QLabel(u"Binding"_s, client), "lblBind", Twips::toPixels(3330, 450, 645, 270));
    m_lblQuote = place(new QLabel(u"\""_s, client), "lblQuote", Twips::toPixels(2295, 495, 75, 270));

    auto *validator = new Latin1Validator(this);
    const auto editableCombo = [&](const char *name, const QRect &geometry, const QStringList &items,
                                   const QString &text, const QString &tip) {
        auto *combo = place(new QComboBox(client), name, geometry);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // Completion would change what the player typed (case, inline suggestions).
        combo->setCompleter(nullptr);
        combo->addItems(items);
        combo->setEditText(text);
        combo->setToolTip(tip);
        combo->lineEdit()->setValidator(validator);
        combo->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
        return combo;
    };
    m_cmbType = editableCombo("cmbType", Twips::toPixels(315, 720, 825, 315), {u"bind"_s, u"set"_s, u"alias"_s},
                              u"bind"_s, u"Type Bind"_s);
    m_txtKey = editableCombo("txtKey", Twips::toPixels(1170, 720, 1230, 315), keyNames(), u"a"_s, u"Key to Bind"_s);
    // Choosing a type from the list moves on to the key; typing one does not.
    connect(m_cmbType, &QComboBox::activated, m_txtKey, qOverload<>(&QWidget::setFocus));
    // The key box's menu also offers to pick the key by pressing it.
    connect(m_txtKey->lineEdit(), &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = m_txtKey->lineEdit()->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        menu->addAction(m_mnuCaptureKey);
        menu->popup(m_txtKey->lineEdit()->mapToGlobal(at));
    });
    connect(m_cmbType->lineEdit(), &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = m_cmbType->lineEdit()->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_cmbType->lineEdit()->mapToGlobal(at));
    });

    m_txtBind = place(new QLineEdit(client), "txtBind", Twips::toPixels(2430, 720, 2355, 300));
    m_txtBind->setToolTip(u"Binding Text"_s);
    // Over a command or variable, the tool tip tells what it does instead.
    m_txtBind->installEventFilter(this);
    m_txtBind->setValidator(validator);

    auto *cmdAdd = place(new QPushButton(u"&Add"_s, client), "cmdAdd", Twips::toPixels(4815, 720, 645, 330));
    cmdAdd->setToolTip(u"Add Binding"_s);
    cmdAdd->setDefault(true);
    connect(cmdAdd, &QPushButton::clicked, this, &MainWindow::addBinding);

    m_lstBind = place(new QTreeView(client), "lstBind", Twips::toPixels(315, 1080, 5145, 4110));
    m_lstBind->setToolTip(u"Preview of the Finished File"_s);
    m_lstBind->setRootIsDecorated(false);
    m_lstBind->setItemsExpandable(false);
    m_lstBind->setUniformRowHeights(true);
    m_lstBind->setSortingEnabled(false);
    m_lstBind->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstBind->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstBind->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstBind->setTextElideMode(Qt::ElideNone);
    m_lstBind->setModel(m_script);
    m_lstBind->setItemDelegate(new ScriptLineDelegate(m_lstBind));
    m_lstBind->header()->setSectionsMovable(false);
    m_lstBind->header()->setStretchLastSection(true);
    m_lstBind->viewport()->installEventFilter(this);
    // Lines can be dragged to another place; the move goes through the history.
    m_lstBind->setDragEnabled(true);
    m_lstBind->setAcceptDrops(true);
    m_lstBind->setDropIndicatorShown(true);
    m_lstBind->setDragDropMode(QAbstractItemView::InternalMove);
    m_lstBind->setDefaultDropAction(Qt::MoveAction);
    connect(m_script, &ScriptModel::moveRequested, this, [this](qsizetype from, qsizetype to) {
        m_edits->move(from, to);
        selectRow(to);
    });
    setAcceptDrops(true);

    // Type, key, binding text, Add, then the list: the order a line is composed in.
    setTabOrder(m_cmbType, m_txtKey);
    setTabOrder(m_txtKey, m_txtBind);
    setTabOrder(m_txtBind, cmdAdd);
    setTabOrder(cmdAdd, m_lstBind);
    m_cmbType->setFocus();

    m_progress = place(new QProgressBar(client), "Progress", Twips::toPixels(330, 5250, 3375, 315));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
}

void MainWindow::buildMenus()
{
    const auto command = [this](QMenu *menu, const char *name, const QString &text, const QString &keys, auto slot) {
        QAction *a = addEntry(menu, name, text, QKeySequence(keys));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    const auto menu = [this](const char *name, const QString &text) {
        QMenu *m = menuBar()->addMenu(text);
        m->setObjectName(QLatin1StringView(name));
        return m;
    };

    QMenu *file = menu("mnuFile", u"&File"_s);
    command(file, "mnuNew", u"&New"_s, u"Ctrl+N"_s, &MainWindow::newFile);
    command(file, "mnuOpen", u"&Open..."_s, u"Ctrl+O"_s, &MainWindow::open);
    command(file, "mnuOpenExactly", u"Open &Exactly..."_s, u"Ctrl+Shift+O"_s, &MainWindow::openExactly);
    command(file, "mnuClose", u"C&lose"_s, u"Ctrl+L"_s, &MainWindow::closeFile);
    addSeparator(file, "mnuSep4");
    command(file, "mnuSave", u"&Save"_s, u"Ctrl+S"_s, &MainWindow::save);
    command(file, "mnuSaveAs", u"&Save As..."_s, QString(), &MainWindow::saveAs);
    addSeparator(file, "mnuSep3");
    for (int i = 1; i <= MruList::maxEntries; ++i) {
        const QByteArray name = "mnuFileMRU" + QByteArray::number(i);
        QAction *entry =
            command(file, name.constData(), u"MRU"_s + QString::number(i), QString(), [this, i] { openRecentFile(i); });
        // Shown once start-up has the recent files.
        entry->setVisible(false);
        m_mnuFileMRU.at(size_t(i - 1)) = entry;
    }
    m_mnuMRUDiv = addSeparator(file, "mnuMRUDiv");
    m_mnuMRUDiv->setVisible(false);
    command(file, "mnuExit", u"E&xit"_s, u"Ctrl+X"_s, &MainWindow::exitProgram);

    m_mnuEdit = menu("mnuEdit", u"&Edit"_s);
    command(m_mnuEdit, "mnuCut", u"Cu&t"_s, u"Ctrl+T"_s, &MainWindow::listCutClip);
    command(m_mnuEdit, "mnuCopy", u"&Copy"_s, u"Ctrl+C"_s, &MainWindow::listCopyClip);
    command(m_mnuEdit, "mnuPaste", u"&Paste"_s, u"Ctrl+P"_s, &MainWindow::listPasteClip);
    addSeparator(m_mnuEdit, "mnuEditSep1");
    command(m_mnuEdit, "mnuDelete", u"&Delete Selected"_s, u"Ctrl+D"_s, &MainWindow::deleteSelected);
    command(m_mnuEdit, "mnuClearAll", u"Clear &All"_s, u"Ctrl+A"_s, &MainWindow::clearAll);
    addSeparator(m_mnuEdit, "mnuEditSep2");
    command(m_mnuEdit, "mnuInsertC", u"&Insert Comment Line"_s, u"Ctrl+I"_s, &MainWindow::insertComment);
    // Comforts of our own, after the classic entries and on shortcuts nothing else uses.
    addSeparator(m_mnuEdit, "mnuEditSep3");
    QUndoStack *history = m_edits->history();
    QAction *undo = command(m_mnuEdit, "mnuUndo", u"&Undo"_s, u"Ctrl+Z"_s, [history] { history->undo(); });
    QAction *redo = command(m_mnuEdit, "mnuRedo", u"&Redo"_s, QString(), [history] { history->redo(); });
    redo->setShortcuts({QKeySequence(u"Ctrl+Shift+Z"_s), QKeySequence(u"Ctrl+Y"_s)});
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(history, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(history, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    command(m_mnuEdit, "mnuMoveUp", u"Move Lin&e Up"_s, u"Alt+Up"_s, [this] { moveSelectedLine(-1); });
    command(m_mnuEdit, "mnuMoveDown", u"Move Line Dow&n"_s, u"Alt+Down"_s, [this] { moveSelectedLine(+1); });
    m_mnuCaptureKey = command(m_mnuEdit, "mnuCaptureKey", u"Capture &Key..."_s, u"Ctrl+G"_s, &MainWindow::captureKey);

    QMenu *options = menu("mnuOptions", u"&Options"_s);
    m_mnuCommandList =
        command(options, "mnuCommandList", u"Show Commands List"_s, QString(), &MainWindow::toggleCommandList);
    m_mnuFunName = command(options, "mnuFunName", u"Fun Name Editor"_s, QString(), &MainWindow::toggleFunNameEditor);
    m_mnuCommandList->setCheckable(true);
    m_mnuFunName->setCheckable(true);
    addSeparator(options, "mnuOptionsSep1");
    command(options, "mnuEditColors", u"&Edit Colors"_s, QString(), &MainWindow::editColors);

    QMenu *tools = menu("mnuTools", u"&Tools"_s);
    command(tools, "mnuCheckScript", u"&Check Script"_s, u"Ctrl+K"_s, &MainWindow::checkScript);
    command(tools, "mnuKeyMap", u"&Key Map"_s, u"Ctrl+M"_s, &MainWindow::showKeyMap);

    QMenu *help = menu("mnuHelp", u"&Help"_s);
    command(help, "mnuAbout", u"&About..."_s, u"F1"_s, &MainWindow::about);
}

void MainWindow::buildToolbar()
{
    struct Button
    {
        const char *key;
        // The command's action, shared with its menu entry.
        const char *action;
        const char *tip;
        const char *image;
    };
    // Seventeen places, separators included; a null key is a separator.
    static constexpr Button buttons[] = {
        {"New", "mnuNew", "New", "New"},
        {"Open", "mnuOpen", "Open", "Open"},
        {"Save", "mnuSave", "Save", "Save"},
        {nullptr, nullptr, nullptr, nullptr},
        {"Copy", "mnuCopy", "Copy", "Copy"},
        {"Cut", "mnuCut", "Cut", "Cut"},
        {"Paste", "mnuPaste", "Paste", "Paste"},
        {nullptr, nullptr, nullptr, nullptr},
        {"Delete", "mnuDelete", "Delete", "Delete"},
        {"Insert", "mnuInsertC", "Insert Comment", "Insert"},
        {nullptr, nullptr, nullptr, nullptr},
        {"CmdList", "mnuCommandList", "Commands List", "cmdList"},
        {"FunName", "mnuFunName", "Fun Name Editor", "FunName"},
        {nullptr, nullptr, nullptr, nullptr},
        {"About", "mnuAbout", "", "About"},
        {nullptr, nullptr, nullptr, nullptr},
        {"Exit", "mnuExit", "", "Exit"},
    };
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    int number = 0;
    for (const Button &b : buttons) {
        ++number;
        if (!b.key) {
            QAction *separator = m_toolbar->addSeparator();
            m_toolbar->widgetForAction(separator)->setObjectName(u"Toolbar1_button"_s + QString::number(number));
            continue;
        }
        auto *action = findChild<QAction *>(QLatin1StringView(b.action));
        action->setIcon(ToolbarIcons::icon(QLatin1StringView(b.image)));
        // The menus keep their look: text only.
        action->setIconVisibleInMenu(false);
        const QString tip = QLatin1StringView(b.tip);
        if (!tip.isEmpty())
            action->setToolTip(tip);
        m_toolbar->addAction(action);
        QWidget *button = m_toolbar->widgetForAction(action);
        button->setObjectName(u"Toolbar1_"_s + QLatin1StringView(b.key));
        // An action always has a tool tip, made from its text; these buttons show none.
        if (tip.isEmpty())
            button->installEventFilter(this);
    }
}

QString MainWindow::cataloguePath() const
{
    return m_cataloguePath.isEmpty() ? CatalogueFile::path() : m_cataloguePath;
}

void MainWindow::startUp()
{
    // Each step that fails is skipped; none throws, and each ends quietly on its own failures.
    if (!m_logo)
        m_logo = std::make_unique<LogoPainter>();
    m_logo->setDrawingObject(m_picLogo);
    m_logo->setCaption(AppInfo::title());
    m_logo->draw();

    m_mru->setKeyName(AppInfo::title());
    m_mru->setCapacity(MruList::maxEntries);
    connect(m_mru, &MruList::changed, this, &MainWindow::showRecentFiles);
    showRecentFiles();

    if (!m_commandLine.isEmpty())
        commandLineOpen();
}

void MainWindow::showRecentFiles()
{
    const QStringList files = m_mru->files();
    for (int i = 0; i < MruList::maxEntries; ++i) {
        QAction *entry = m_mnuFileMRU.at(size_t(i));
        const bool used = i < files.size();
        if (used) {
            QString name = files.at(i);
            name.replace(u'&', u"&&"_s); // an ampersand in a path is not an access key
            entry->setText(u'&' + QString::number(i + 1) + u' ' + name);
        }
        entry->setVisible(used);
    }
    m_mnuMRUDiv->setVisible(!files.isEmpty());
}

void MainWindow::setCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(titleText(caption));
}

bool MainWindow::hasCurrentFile() const
{
    return m_caption != AppInfo::title();
}

qsizetype MainWindow::selectedRow() const
{
    const QModelIndexList rows = m_lstBind->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void MainWindow::selectRow(qsizetype row)
{
    if (row < 0 || row >= m_script->count()) {
        m_lstBind->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_script->index(int(row));
    m_lstBind->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_lstBind->scrollTo(index);
}

void MainWindow::removeLine(qsizetype row)
{
    m_edits->remove(row);
    selectRow(qMin(row, m_script->count() - 1));
}

std::optional<QByteArray> MainWindow::scriptBytesOf(const QString &text)
{
    if (auto bytes = ScriptText::toBytes(text))
        return bytes;
    m_prompter.inform(this,
                      u"The text holds characters that a game script cannot carry: only the characters of the "
                      "game's console font (Latin-1) can be used.\r\nNothing was changed."_s,
                      AppInfo::title(), Prompter::Icon::Exclamation);
    return std::nullopt;
}

// --- File commands ---------------------------------------------------------------------------

QString MainWindow::askFileName(bool save, const QString &title)
{
    Prompter::FileRequest request;
    request.save = save;
    request.title = title;
    request.filter = openSaveFilter;
    request.defaultSuffix = u"cfg"_s;
    // The home folder stands in for the root of the system drive.
    request.folder = QDir::homePath();
    request.fileName = m_dialogFileName;
    QString chosen = m_prompter.fileName(this, request);
    if (!chosen.isEmpty())
        m_dialogFileName = chosen;
    return chosen;
}

void MainWindow::open()
{
    askAndLoad(u"Open"_s, ScriptReader::Mode::Open);
}

void MainWindow::openExactly()
{
    askAndLoad(u"Open Exactly"_s, ScriptReader::Mode::Exact);
}

void MainWindow::askAndLoad(const QString &title, ScriptReader::Mode mode)
{
    const QString chosen = askFileName(false, title);
    if (chosen.isEmpty())
        return;
    m_fileName = chosen;
    loadScript(m_fileName, mode);
}

void MainWindow::openRecentFile(int index)
{
    // The recent files keep no way of reading: an entry opens as Open does.
    loadScript(m_mru->fileName(index));
}

void MainWindow::loadScript(const QString &name, ScriptReader::Mode mode)
{
    m_mru->addFile(name);
    if (!fileExists(name)) {
        m_prompter.inform(this, u"File '"_s + name + u"' could not be found."_s, u"Error Opening File"_s,
                          Prompter::Icon::Critical);
        m_mru->removeFile(name);
        return;
    }
    ScriptReader::Result read = ScriptReader::readFile(name, mode);
    if (!read.ok) {
        m_prompter.inform(this, u"File '"_s + name + u"' could not be read.\r\n"_s + read.error,
                          u"Error Opening File"_s, Prompter::Icon::Critical);
        return;
    }
    m_edits->load(std::move(read.lines), std::move(read.changes));
    setCaption(name);
}

void MainWindow::commandLineOpen()
{
    m_fileName = m_commandLine;
    // No existence test and no message: a name that cannot be read is passed over.
    ScriptReader::Result read = ScriptReader::readFile(m_fileName, m_commandLineMode);
    if (!read.ok)
        return;
    m_mru->addFile(m_fileName);
    m_edits->load(std::move(read.lines), std::move(read.changes));
    setCaption(m_fileName);
}

bool MainWindow::writeList()
{
    const qsizetype n = m_script->count();
    m_progress->setRange(0, int(qMin<qsizetype>(n + 1, std::numeric_limits<int>::max())));
    QString why;
    const bool written = ScriptWriter::writeFile(m_fileName, m_script->lines(), &why,
                                                 [this](qsizetype lines) { m_progress->setValue(int(lines)); });
    m_progress->setValue(0);
    if (!written) {
        m_prompter.inform(this, u"File '"_s + m_fileName + u"' was not written.\r\n"_s + why, u"Error Saving File"_s,
                          Prompter::Icon::Critical);
        return false;
    }
    // Only a file that was written joins the recent files.
    m_mru->addFile(m_fileName);
    setCaption(m_fileName);
    return true;
}

bool MainWindow::saveToCurrentOrChosen()
{
    const QString previous = m_fileName;
    if (m_caption.startsWith(AppInfo::title())) {
        const QString chosen = askFileName(true, u"Save"_s);
        if (chosen.isEmpty())
            return false;
        m_fileName = chosen;
    } else {
        m_fileName = m_caption;
    }
    if (writeList())
        return true;
    m_fileName = previous;
    return false;
}

void MainWindow::save()
{
    saveToCurrentOrChosen();
}

void MainWindow::saveAs()
{
    const QString chosen = askFileName(true, u"Save As"_s);
    if (chosen.isEmpty())
        return;
    const QString previous = m_fileName;
    m_fileName = chosen;
    if (!writeList())
        m_fileName = previous;
}

void MainWindow::closeFile()
{
    if (!hasCurrentFile())
        return;
    const auto answer = m_prompter.message(this, {u"Do you want to save first?"_s, u"Close File"_s,
                                                  Prompter::Yes | Prompter::No | Prompter::Cancel, Prompter::Yes,
                                                  Prompter::Icon::Question});
    if (answer == Prompter::Cancel)
        return;
    // A save that did not happen (cancelled, failed) keeps the script rather than lose it.
    if (answer == Prompter::Yes && !saveToCurrentOrChosen())
        return;
    setCaption(AppInfo::title());
    m_edits->reset();
}

void MainWindow::exitProgram()
{
    const auto answer =
        m_prompter.message(this, {u"Do you really want to Exit"_s, u"Confirm"_s, Prompter::Yes | Prompter::No,
                                  Prompter::Yes, Prompter::Icon::Question});
    if (answer == Prompter::Yes)
        emit programEnding();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit programEnding();
}

// --- Edit commands ---------------------------------------------------------------------------

void MainWindow::newFile()
{
    setCaption(AppInfo::title());
    m_edits->reset();
    m_fileName.clear();
}

void MainWindow::clearAll()
{
    const auto answer = m_prompter.message(
        this, {u"If you procede, you'll lose all bindings thus far.\r\n\r\nDo you wish to procede?"_s, u"Warning"_s,
               Prompter::Yes | Prompter::No, Prompter::Yes, Prompter::Icon::Information});
    if (answer == Prompter::Yes)
        m_edits->clear();
}

void MainWindow::listCopyClip()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const qsizetype row = selectedRow();
    if (row >= 0)
        clipboard->setText(QString::fromLatin1(m_script->line(row)));
}

void MainWindow::listCutClip()
{
    listCopyClip();
    const qsizetype row = selectedRow();
    if (row >= 0)
        removeLine(row);
}

void MainWindow::listPasteClip()
{
    const qsizetype row = selectedRow();
    if (row < 0)
        return;
    if (const auto bytes = scriptBytesOf(QGuiApplication::clipboard()->text()))
        m_edits->insert(row, *bytes);
}

void MainWindow::deleteSelected()
{
    const qsizetype row = selectedRow();
    if (row >= 0)
        removeLine(row);
}

void MainWindow::insertComment()
{
    const QString text = m_prompter.input(this, u"Please type your comment message"_s, u"Insert Comment"_s,
                                          u"Created by : Vantor's Bind Utility"_s);
    if (text.isEmpty())
        return;
    if (const auto bytes = scriptBytesOf(text))
        m_edits->insert(0, "//" + *bytes);
}

void MainWindow::moveSelectedLine(int by)
{
    const qsizetype row = selectedRow();
    const qsizetype to = row + by;
    if (row < 0 || to < 0 || to >= m_script->count())
        return;
    m_edits->move(row, to);
    selectRow(to);
}

void MainWindow::captureKey()
{
    auto *dialog = new KeyCaptureDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &KeyCaptureDialog::captured, this, [this](const QString &name) {
        m_txtKey->setEditText(name);
        m_txtKey->setFocus();
    });
    dialog->show();
    dialog->activateWindow();
    dialog->setFocus();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFileName(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString name = droppedFileName(event->mimeData());
    if (name.isEmpty())
        return;
    event->acceptProposedAction();
    // Just as Open with that name.
    m_fileName = name;
    loadScript(m_fileName);
}

QString MainWindow::droppedFileName(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// --- Composition and the list ----------------------------------------------------------------

void MainWindow::addBinding()
{
    const auto error = [this](const QString &text) {
        m_prompter.inform(this, text, u"Error"_s, Prompter::Icon::Critical);
    };
    if (m_txtBind->text().isEmpty()) {
        error(u"You must fill in the binding space"_s);
        return;
    }
    if (m_txtKey->currentText().isEmpty()) {
        error(u"You must fill in the key space"_s);
        return;
    }
    // The fields refuse what has no byte; a text set some other way is checked here too.
    const auto type = scriptBytesOf(m_cmbType->currentText());
    const auto key = type ? scriptBytesOf(m_txtKey->currentText()) : std::nullopt;
    const auto text = key ? scriptBytesOf(m_txtBind->text()) : std::nullopt;
    if (!text)
        return;
    const QByteArray quote = m_lblQuote->text().toLatin1();
    m_edits->append(ScriptText::composeBinding(*type, *key, quote, *text));
    m_txtBind->clear();
    m_txtKey->setFocus();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Add is the default button: an Enter that no control takes runs it. The text fields and
    // the list leave Enter to the window.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        addBinding();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::appendToBinding(const QString &command)
{
    m_txtBind->setText(m_txtBind->text().isEmpty() ? command : m_txtBind->text() + u';' + command);
    m_txtBind->setCursorPosition(int(m_txtBind->text().size()));
}

void MainWindow::editSelectedLine()
{
    const qsizetype row = selectedRow();
    if (row < 0)
        return;
    const QByteArray line = m_script->line(row);
    if (line.isEmpty())
        return;
    const QString answer =
        m_prompter.input(this, u"Enter the updated text."_s, u"Edit Command"_s, QString::fromLatin1(line));
    if (answer.isEmpty())
        return;
    if (const auto bytes = scriptBytesOf(answer))
        m_edits->replace(row, *bytes);
}

void MainWindow::listMousePressed(Qt::MouseButton button, const QPoint &globalPos)
{
    if (button == Qt::RightButton)
        m_mnuEdit->popup(globalPos);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lstBind->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            // Let the view select the row under the pointer first, so the menu acts on it.
            QMetaObject::invokeMethod(
                this, [this, b = mouse->button(), at = mouse->globalPosition().toPoint()] { listMousePressed(b, at); },
                Qt::QueuedConnection);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            QMetaObject::invokeMethod(this, &MainWindow::editSelectedLine, Qt::QueuedConnection);
        }
    } else if (watched == m_txtBind && event->type() == QEvent::ToolTip) {
        return showBindingHelp(*static_cast<QHelpEvent *>(event));
    } else if (event->type() == QEvent::ToolTip) {
        // A toolbar button without a tool tip of its own.
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::showBindingHelp(const QHelpEvent &event)
{
    if (!m_nameHelp)
        m_nameHelp = std::make_unique<NameHelp>(GameProfiles::directory());
    const QString help = m_nameHelp->describeWordAt(m_txtBind->text().toLatin1(),
                                                    m_txtBind->cursorPositionAt(event.pos()), CheckGame::Both);
    if (help.isEmpty())
        return false;
    QToolTip::showText(event.globalPos(), help, m_txtBind);
    return true;
}

// --- Tool windows ----------------------------------------------------------------------------

void MainWindow::toggleCommandList()
{
    // At most one tool window is open: choosing one closes the other.
    m_funName->close();
    m_commandList->toggle();
}

void MainWindow::toggleFunNameEditor()
{
    m_commandList->close();
    m_funName->toggle();
}

void MainWindow::editColors()
{
    // Modal over the whole program; made afresh, gone when closed.
    auto *dialog =
        new ColorsDialog(m_prompter, ListColors::foreColor(m_lstBind), ListColors::backColor(m_lstBind), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &ColorsDialog::colorsApplied, m_lstBind, [this](const QColor &fore, const QColor &back) {
        ListColors::setForeColor(m_lstBind, fore);
        ListColors::setBackColor(m_lstBind, back);
    });
    dialog->show();
}

CheckReportWindow *MainWindow::checkReport() const
{
    return m_checkReport;
}

void MainWindow::checkScript()
{
    // One report: choosing it again checks afresh and brings it forward.
    if (!m_checkReport) {
        m_checkReport = new CheckReportWindow(*m_script);
        auto *delegate = qobject_cast<ScriptLineDelegate *>(m_lstBind->itemDelegate());
        connect(m_checkReport, &CheckReportWindow::marksChanged, delegate, &ScriptLineDelegate::showMarks);
        connect(m_checkReport, &CheckReportWindow::marksRemoved, delegate, &ScriptLineDelegate::clearMarks);
        connect(m_checkReport, &CheckReportWindow::lineActivated, this, &MainWindow::showLine);
    }
    m_checkReport->runCheck();
    m_checkReport->show();
    m_checkReport->raise();
    m_checkReport->activateWindow();
}

void MainWindow::showKeyMap()
{
    // One window, brought forward when chosen again; a key's name from it goes into the key box.
    if (!m_keyMap) {
        m_keyMap = new KeyMapWindow(*m_script);
        connect(m_keyMap, &KeyMapWindow::keyChosen, m_txtKey,
                [this](const QByteArray &name) { m_txtKey->setCurrentText(QString::fromLatin1(name)); });
    }
    m_keyMap->show();
    m_keyMap->raise();
    m_keyMap->activateWindow();
}

void MainWindow::showLine(qsizetype row)
{
    selectRow(row);
    raise();
    activateWindow();
    m_lstBind->setFocus();
}

void MainWindow::about()
{
    auto *dialog = new AboutDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

} // namespace vbu
