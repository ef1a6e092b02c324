#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>

namespace vbu {

class CatalogueProgress;

// The command catalogue as a tree of groups, sections and commands, with its version.
// Texts and keys are the file's bytes; show them through Latin-1.
//
// To fill a tree view, walk nodes() front to back: every node comes after its parent, and the
// children of a node come in the order they were added, so appending each node as the last
// child of nodes()[parent] (or as the last top-level node) rebuilds the tree exactly.
class Catalogue final
{
public:
    // Records past this many are not read: the count and the count plus one stay 16-bit numbers.
    static constexpr qsizetype maxRecords = 32766;

    // Image indexes: a closed folder, the same folder marked (set by the window on a double
    // click), a command.
    enum Image { FolderImage = 1, MarkedFolderImage = 2, CommandImage = 3 };

    struct Node
    {
        QByteArray key;  // "{" + name for a group, "[" + name for a section, empty for a command
        QByteArray text; // the group or section name, or the command as read
        int image = 0;
        int parent = -1;     // index in nodes(), -1 for a top-level node
        QList<int> children; // indexes in nodes(), in file order

        bool isGroup() const { return key.startsWith('{'); }
        bool isSection() const { return key.startsWith('['); }
        bool isCommand() const { return key.isEmpty(); }
    };

    // Reads catalogue bytes. With a progress, sets its maximum first and its value after every
    // node; it leaves the value where the last node put it.
    static Catalogue parse(QByteArrayView bytes, CatalogueProgress *progress = nullptr);

    const QList<Node> &nodes() const { return m_nodes; }
    const QList<int> &topLevel() const { return m_topLevel; }
    bool isEmpty() const { return m_nodes.isEmpty(); }
    // The node with that key, or -1.
    int indexOfKey(QByteArrayView key) const;
    // Node indexes depth-first, parents before children: the order of a fully expanded tree.
    QList<int> treeOrder() const;
    // Nesting depth of a node: 0 for a top-level node.
    int depth(int index) const;

    // The text after "//" of the last version line; empty when there is none.
    const QByteArray &catalogueVersion() const { return m_version; }
    // Every record in the bytes, empty records and version lines included.
    qsizetype recordCount() const { return m_records; }
    // Records left out because they would break the tree (see parse()).
    qsizetype skippedCount() const { return m_skipped; }
    // Whether the last record opens a quote that never closes (see CatalogueRecords).
    bool endsInOpenQuote() const { return m_openQuote; }

private:
    void addGroup(QByteArray name);
    void addSection(QByteArray name);
    void addCommand(QByteArrayView text);
    int addNode(int parent, QByteArray key, QByteArray text, int image);

    QList<Node> m_nodes;
    QList<int> m_topLevel;
    QHash<QByteArray, int> m_keys;
    QByteArray m_version;
    // The current names, and the nodes that hold them (-1 while there is none).
    QByteArray m_group;
    QByteArray m_section;
    int m_groupNode = -1;
    int m_sectionNode = -1;
    qsizetype m_records = 0;
    qsizetype m_skipped = 0;
    bool m_openQuote = false;
};

} // namespace vbu
