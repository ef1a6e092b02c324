#include "core/catalogue/Catalogue.h"

#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"

#include <algorithm>
#include <iterator>

namespace vbu {

namespace {

QByteArray makeKey(char kind, const QByteArray &name)
{
    QByteArray key;
    key.reserve(name.size() + 1);
    key.append(kind).append(name);
    return key;
}

} // namespace

// Records are taken in file order. The first character decides, case-sensitively: an empty record
// is passed over, "{" opens a group, "[" a section, "//" sets the version, and anything else is a
// command under the current section. A group line leaves the current section as it was, so the
// commands after it still fill the section read last.
//
// A record that would break the tree adds no node and is counted in skippedCount():
// - a group or section line of one character names nothing; it is dropped and changes nothing;
// - a group or section line whose key is already taken (section names are unique across the
//   whole file) still becomes the current group or section, so what follows joins the node
//   that holds the name;
// - a section line while no group node has the current group name, and a command line while no
//   section node has the current section name, are dropped (the current names still follow the
//   lines, so commands meant for an orphaned section never land in an earlier one);
// - records past maxRecords are not read at all.
// The tree therefore always has unique keys, sections only under groups and commands only under
// sections.
Catalogue Catalogue::parse(QByteArrayView bytes, CatalogueProgress *progress)
{
    Catalogue c;
    c.m_records = CatalogueRecords::count(bytes);
    const qsizetype readable = qMin(c.m_records, maxRecords);
    if (progress)
        progress->setMaximum(int(readable + 1));

    CatalogueRecords records(bytes);
    QByteArrayView record;
    for (qsizetype i = 0; i < readable && records.next(record); ++i) {
        if (record.isEmpty())
            continue;
        const qsizetype before = c.m_nodes.size();
        if (record.front() == '{')
            c.addGroup(record.toByteArray());
        else if (record.front() == '[')
            c.addSection(record.toByteArray());
        else if (record.startsWith("//"))
            c.m_version = record.sliced(2).toByteArray();
        else
            c.addCommand(record);
        if (progress && c.m_nodes.size() != before)
            progress->setValue(int(c.m_nodes.size()));
    }
    c.m_skipped += c.m_records - readable;
    c.m_openQuote = records.endsInOpenQuote();
    return c;
}

void Catalogue::addGroup(QByteArray name)
{
    if (name.size() < 2) {
        ++m_skipped;
        return;
    }
    m_group = stripEnclosure(name);
    QByteArray key = makeKey('{', m_group);
    m_groupNode = indexOfKey(key);
    if (m_groupNode >= 0) {
        ++m_skipped;
        return;
    }
    m_groupNode = addNode(-1, std::move(key), m_group, FolderImage);
}

void Catalogue::addSection(QByteArray name)
{
    if (name.size() < 2) {
        ++m_skipped;
        return;
    }
    m_section = stripEnclosure(name);
    QByteArray key = makeKey('[', m_section);
    m_sectionNode = indexOfKey(key);
    if (m_sectionNode >= 0 || m_groupNode < 0) {
        ++m_skipped;
        return;
    }
    m_sectionNode = addNode(m_groupNode, std::move(key), m_section, FolderImage);
}

void Catalogue::addCommand(QByteArrayView text)
{
    if (m_sectionNode < 0) {
        ++m_skipped;
        return;
    }
    addNode(m_sectionNode, QByteArray(), text.toByteArray(), CommandImage);
}

int Catalogue::addNode(int parent, QByteArray key, QByteArray text, int image)
{
    const int index = int(m_nodes.size());
    if (!key.isEmpty())
        m_keys.insert(key, index);
    if (parent < 0)
        m_topLevel.append(index);
    else
        m_nodes[parent].children.append(index);
    m_nodes.append(Node{std::move(key), std::move(text), image, parent, {}});
    return index;
}

int Catalogue::indexOfKey(QByteArrayView key) const
{
    return m_keys.value(key.toByteArray(), -1);
}

QList<int> Catalogue::treeOrder() const
{
    QList<int> order;
    order.reserve(m_nodes.size());
    QList<int> stack(m_topLevel.crbegin(), m_topLevel.crend());
    while (!stack.isEmpty()) {
        const int index = stack.takeLast();
        order.append(index);
        const QList<int> &children = m_nodes.at(index).children;
        std::copy(children.crbegin(), children.crend(), std::back_inserter(stack));
    }
    return order;
}

int Catalogue::depth(int index) const
{
    int d = 0;
    for (int p = m_nodes.at(index).parent; p >= 0; p = m_nodes.at(p).parent)
        ++d;
    return d;
}

} // namespace vbu
