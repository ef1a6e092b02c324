#pragma once

#include "gui/catalogue/DockedToolWindow.h"

#include <QString>

class QAction;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace vbu {

class Prompter;

// frmCommands, the Command List: the catalogue as a tree beside the main window. A double
// click on a command adds it to the main window's binding text.
class CommandsWindow final : public DockedToolWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommandsWindow)

public:
    // Item data roles of the tree: the node's key (bytes) and its image index.
    enum Role { KeyRole = Qt::UserRole + 1, ImageRole };

    struct Links
    {
        QWidget *mainWindow;
        QLineEdit *txtBind;
        QProgressBar *progress;
        Prompter &prompter;
    };

    // Loads the catalogue at cataloguePath at once.
    CommandsWindow(const Links &links, const QString &cataloguePath);

    QTreeWidget *TreeView1() const { return m_tree; }
    QAction *mnuCheck() const { return m_mnuCheck; }
    QString CatalogueVersion() const { return m_version; }
    QString cataloguePath() const { return m_path; }

    void MyCopyClip();
    void MyPasteClip();

public slots:
    void TreeView1_DblClick();
    void mnuCheck_Click();

protected:
    void moveEvent(QMoveEvent *event) override;

private:
    void Form_Load();
    void matchMainHeight();
    void LoadCatalogue();

    Links m_links;
    QString m_path;
    QString m_version;
    QTreeWidget *m_tree;
    QAction *m_mnuCheck;
    bool m_checking = false;
};

} // namespace vbu
