#include "gui/catalogue/CommandsWindow.h"

#include "core/app/AppInfo.h"
#include "core/app/Twips.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueUpdate.h"
#include "core/catalogue/Detect.h"
#include "core/catalogue/UpdateFetcher.h"
#include "core/check/GameProfiles.h"
#include "core/check/NameHelp.h"
#include "core/check/ScriptTokenizer.h"
#include "core/script/FileReplacer.h"
#include "gui/catalogue/CommandImages.h"
#include "gui/catalogue/UpdateWaitDialog.h"
#include "gui/ui/Prompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// The catalogue load's progress, passed on as the window's signals.
class SignalProgress final : public CatalogueProgress
{
public:
    explicit SignalProgress(CommandsWindow &window) : m_window(window) {}
    void setMaximum(int maximum) override { emit m_window.progressMaximumChanged(maximum); }
    void setValue(int value) override { emit m_window.progressChanged(value); }

private:
    CommandsWindow &m_window;
};

// The game whose profiles describe the commands under a group: the group named for it, else
// both games.
CheckGame groupGame(const Catalogue::Node &group)
{
    if (group.text == "Quake")
        return CheckGame::Quake;
    if (group.text == "Quake2")
        return CheckGame::Quake2;
    return CheckGame::Both;
}

// A command's tool tip: its whole text, then what the profiles of its group's game say about
// its first word (a port's, when only a port has it).
QString commandToolTip(const NameHelp &help, const Catalogue::Node &node, CheckGame game)
{
    const QString text = QString::fromLatin1(node.text);
    const ScriptTokenizer::Tokens words = ScriptTokenizer::tokenize(
        node.text, game == CheckGame::Quake ? ScriptTokenizer::Dialect::Quake : ScriptTokenizer::Dialect::Quake2);
    const QString described = words.tokens.isEmpty() ? QString() : help.describe(words.tokens.constFirst().text, game);
    return described.isEmpty() ? text : text + u'\n' + described;
}

} // namespace

CommandsWindow::CommandsWindow(QWidget *mainWindow, Prompter &prompter, const QString &cataloguePath)
    : DockedToolWindow(mainWindow), m_prompter(prompter), m_path(cataloguePath), m_tree(new QTreeWidget)
{
    setObjectName(u"frmCommands"_s);
    setWindowTitle(u"Command List"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QMenuBar(this);
    bar->setObjectName(u"menuBar"_s);
    layout->setMenuBar(bar);
    m_mnuCheck = bar->addAction(u"Check For List Updates"_s);
    m_mnuCheck->setObjectName(u"mnuCheck"_s);
    // Offered only when an update server is named.
    m_mnuCheck->setEnabled(CatalogueUpdate::baseUrlFromEnvironment().has_value());
    connect(m_mnuCheck, &QAction::triggered, this, &CommandsWindow::checkForUpdates);

    auto *client = new QWidget(this);
    client->setObjectName(u"client"_s);
    client->setMinimumSize(2955 / Twips::perPixel, 5640 / Twips::perPixel);
    layout->addWidget(client);

    m_tree->setParent(client);
    m_tree->setObjectName(u"TreeView1"_s);
    m_tree->setGeometry(30 / Twips::perPixel, 30 / Twips::perPixel, 150, 5265 / Twips::perPixel);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The column is as wide as its longest shown text, and the tree scrolls sideways to it.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &CommandsWindow::nodeDoubleClicked);
    placeDockBox(client,
                 QRect(360 / Twips::perPixel, 5370 / Twips::perPixel, 2265 / Twips::perPixel, 195 / Twips::perPixel));

    adjustSize();
}

void CommandsWindow::load()
{
    loadCatalogue();
    // The width is the design's, whatever the menu bar would like.
    setFixedWidth(2955 / Twips::perPixel);
    matchMainHeight();
    m_tree->resize((frameGeometry().width() * Twips::perPixel - 100) / Twips::perPixel, m_tree->height());
    startWatchers();
    setWindowTitle(windowTitle() + u" - v"_s + m_version);
}

void CommandsWindow::matchMainHeight()
{
    // As tall as the main window, outer frames compared, so that docked it continues it to the
    // right. The frame is known only once the window is on screen, so its moves ask again.
    if (!mainWindow())
        return;
    const int frame = frameGeometry().height() - height();
    const int target = mainWindow()->frameGeometry().height() - frame;
    if (target > 0 && target != height())
        setFixedHeight(target);
}

void CommandsWindow::moveEvent(QMoveEvent *event)
{
    DockedToolWindow::moveEvent(event);
    matchMainHeight();
}

void CommandsWindow::loadCatalogue()
{
    // Not over this window, which is not on screen yet: a box over it would make its frame
    // before the docked place is set, and the window would open off that place by the frame.
    QWidget *const over = mainWindow();
    if (!CatalogueFile::fileExists(m_path)) {
        m_prompter.inform(over, CatalogueFile::missingFileMessage(u"\r\n"), u"Error Opening File"_s,
                          Prompter::Icon::Critical);
        emit progressChanged(0);
        return;
    }
    SignalProgress progress(*this);
    CatalogueFile::Load read = CatalogueFile::loadCatalogue(m_path, &progress);
    switch (read.status) {
    case CatalogueFile::Load::Status::Missing:
        // Gone between the look and the count: the counting's own word for it.
        m_prompter.inform(over,
                          u"File: "_s + m_path + u" hasn't been downloaded yet. Preprocessing is being aborted."_s,
                          u"File Does Not Exist"_s, Prompter::Icon::None);
        return;
    case CatalogueFile::Load::Status::Unreadable:
        m_prompter.inform(over, u"File '"_s + m_path + u"' could not be read.\r\n"_s + read.error,
                          u"Error Opening File"_s, Prompter::Icon::Critical);
        return;
    case CatalogueFile::Load::Status::Loaded:
        break;
    }
    const Catalogue &catalogue = read.catalogue;
    m_version = QString::fromLatin1(catalogue.catalogueVersion());
    // Built off the tree and handed over at once: one insertion, however large the file.
    QList<QTreeWidgetItem *> items;
    items.reserve(catalogue.nodes().size());
    QList<QTreeWidgetItem *> topLevel;
    const QIcon images[] = {CommandImages::icon(1), CommandImages::icon(2), CommandImages::icon(3)};
    const NameHelp help(GameProfiles::directory());
    QList<CheckGame> games; // of each node, from its group
    games.reserve(catalogue.nodes().size());
    for (const Catalogue::Node &node : catalogue.nodes()) {
        auto *item = new QTreeWidgetItem({QString::fromLatin1(node.text)});
        games.append(node.isGroup() ? groupGame(node) : node.parent < 0 ? CheckGame::Both : games.at(node.parent));
        // A command longer than the tree is wide shows whole on hover, and what it does below.
        item->setToolTip(0, node.isCommand() ? commandToolTip(help, node, games.constLast()) : item->text(0));
        item->setData(0, KeyRole, node.key);
        item->setData(0, ImageRole, node.image);
        item->setIcon(0, images[node.image - 1]);
        if (node.parent < 0)
            topLevel.append(item);
        else
            items.at(node.parent)->addChild(item);
        items.append(item);
    }
    m_tree->addTopLevelItems(topLevel);
}

void CommandsWindow::nodeDoubleClicked()
{
    QTreeWidgetItem *node = m_tree->currentItem();
    if (!node)
        return;
    const QByteArray key = node->data(0, KeyRole).toByteArray();
    if (key.startsWith('{') || key.startsWith('[')) {
        const int image = node->data(0, ImageRole).toInt() == Catalogue::FolderImage ? Catalogue::MarkedFolderImage
                                                                                     : Catalogue::FolderImage;
        node->setData(0, ImageRole, image);
        node->setIcon(0, CommandImages::icon(image));
        return;
    }
    myCopyClip();
    myPasteClip();
}

void CommandsWindow::myCopyClip()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (const QTreeWidgetItem *node = m_tree->currentItem())
        clipboard->setText(node->text(0));
}

void CommandsWindow::myPasteClip()
{
    emit commandChosen(QGuiApplication::clipboard()->text());
}

void CommandsWindow::checkForUpdates()
{
    const std::optional<QUrl> base = CatalogueUpdate::baseUrlFromEnvironment();
    if (!base || m_checking)
        return;
    if (!Detect::isRemoteConnected()) {
        m_prompter.inform(this, u"You must connect to the internet before checking for updates."_s,
                          u"Error: Not Connected"_s, Prompter::Icon::Critical);
        return;
    }

    // The windows go on painting while the server is waited for, and the program may close this
    // window meanwhile: after every wait nothing of it is touched unless it is still there.
    const QPointer<CommandsWindow> self(this);
    m_checking = true;
    m_mnuCheck->setEnabled(false);
    const auto done = qScopeGuard([&] {
        if (self) {
            m_checking = false;
            m_mnuCheck->setEnabled(true);
        }
    });
    const QString unchanged = u"\r\nYour command list was not changed."_s;
    const auto failed = [&](const QUrl &url, const UpdateFetcher::Result &result) {
        if (result.status != UpdateFetcher::Result::Status::Cancelled)
            m_prompter.inform(this,
                              u"Could not download "_s + url.toDisplayString() + u":\r\n"_s + result.error + unchanged,
                              u"Error: Download Failed"_s, Prompter::Icon::Critical);
    };
    const auto refused = [&](const QString &what, CatalogueUpdate::Problem problem) {
        m_prompter.inform(this,
                          u"The "_s + what + u" sent by the update server cannot be used.\r\n"_s +
                              CatalogueUpdate::describe(problem) + unchanged,
                          u"Error: Invalid Update"_s, Prompter::Icon::Critical);
    };

    UpdateFetcher fetcher;
    const QUrl versionUrl = CatalogueUpdate::documentUrl(*base, u"version.txt"_s);
    const UpdateFetcher::Result version =
        UpdateWaitDialog::fetch(this, fetcher, versionUrl, u"Checking for list updates..."_s);
    if (!self)
        return;
    if (!version.ok())
        return failed(versionUrl, version);
    if (const auto problem = CatalogueUpdate::checkVersion(version.body); problem != CatalogueUpdate::Problem::None)
        return refused(u"version number"_s, problem);

    if (CatalogueUpdate::isCurrent(version.body, m_version.toLatin1())) {
        m_prompter.inform(this, u"Your command list is current and does not need to be updated."_s,
                          u"Current Version Installed"_s, Prompter::Icon::Information);
        return;
    }
    const Prompter::Message offer{
        u"Your version is older than the one currently available.\r\nWould you like to download the new version?"_s,
        u"Update Available!"_s, Prompter::Yes | Prompter::No, Prompter::Yes, Prompter::Icon::Exclamation};
    if (m_prompter.message(this, offer) != Prompter::Yes || !self)
        return;

    const QUrl listUrl = CatalogueUpdate::documentUrl(*base, u"commands.dat"_s);
    const UpdateFetcher::Result list =
        UpdateWaitDialog::fetch(this, fetcher, listUrl, u"Downloading the command list..."_s);
    if (!self)
        return;
    if (!list.ok())
        return failed(listUrl, list);
    if (const auto problem = CatalogueUpdate::checkCatalogue(list.body); problem != CatalogueUpdate::Problem::None)
        return refused(u"command list"_s, problem);
    // The tree and the caption stay as loaded; the new list shows at the next opening.
    const QString target = CatalogueFile::updatePath(m_path);
    QString error;
    if (!CatalogueUpdate::save(target, list.body, &error)) {
        // The writer says itself what became of a list that was there.
        m_prompter.inform(this,
                          u"The new command list could not be written to "_s + target + u":\r\n"_s + error +
                              (FileReplacer::tellsWhatBecameOfTheFile(error) ? QString() : unchanged),
                          u"Error: Update Not Saved"_s, Prompter::Icon::Critical);
        return;
    }
    m_prompter.inform(this, u"Update Completed Successfully!"_s, u"Kelmforge Update Util"_s,
                      Prompter::Icon::Information);
}

} // namespace vbu
