#pragma once

#include "gui/catalogue/DockedToolWindow.h"

#include <QString>

class QAction;
class QTreeWidget;

namespace vbu {

class Prompter;

// frmCommands, the Command List: the catalogue as a tree beside the main window. A double
// click on a command copies it to the clipboard and hands the clipboard's text on through
// commandChosen(), for the main window's binding text.
class CommandsWindow final : public DockedToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandsWindow)

public:
    // Item data roles of the tree: the node's key (bytes) and its image index.
    enum Role { KeyRole = Qt::UserRole + 1, ImageRole };

    // mainWindow: the window it docks to. Nothing is read until load().
    CommandsWindow(QWidget *mainWindow, Prompter &prompter, const QString &cataloguePath);

    // The window's load: reads the catalogue, reporting its progress, then takes its size and
    // the docked place and shows the version in the caption. Called once, before it is shown.
    void load();

    // The version of the catalogue as it was read, empty until then.
    QString catalogueVersion() const { return m_version; }
    QString cataloguePath() const { return m_path; }

    // The selected node's text onto the clipboard.
    void myCopyClip();
    // The clipboard's text on to the binding text.
    void myPasteClip();

signals:
    // The clipboard's text after a command was double-clicked.
    void commandChosen(const QString &text);
    // The catalogue's reading: the number of steps, then each step done, then 0.
    void progressMaximumChanged(int maximum);
    void progressChanged(int value);

public slots:
    // A double click on the selected node: a folder changes its image, a command is chosen.
    void nodeDoubleClicked();
    void checkForUpdates();

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    void matchMainHeight();
    void loadCatalogue();

    Prompter &m_prompter;
    QString m_path;
    QString m_version;
    QTreeWidget *m_tree;
    QAction *m_mnuCheck = nullptr;
    bool m_checking = false;
};

} // namespace vbu
