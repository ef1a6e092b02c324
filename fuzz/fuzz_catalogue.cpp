// Catalogue parser on arbitrary bytes: whatever the file holds, the tree must stay sound.
#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueProgress.h"
#include "core/catalogue/CatalogueRecords.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

class CheckedProgress final : public vbu::CatalogueProgress
{
public:
    void setMaximum(int maximum) override
    {
        check(m_maximum < 0); // once, before any value
        m_maximum = maximum;
    }
    void setValue(int value) override
    {
        check(m_maximum > 0 && value == m_value + 1 && value < m_maximum);
        m_value = value;
    }
    int m_maximum = -1;
    int m_value = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CheckedProgress progress;
    const vbu::Catalogue c = vbu::Catalogue::parse(bytes, &progress);
    const auto &nodes = c.nodes();

    const qsizetype records = vbu::CatalogueRecords::count(bytes);
    check(c.recordCount() == records);
    check(progress.m_maximum == int(qMin(records, vbu::Catalogue::maxRecords) + 1));
    check(progress.m_value == int(nodes.size()));
    // Every node came from a record of its own.
    check(nodes.size() + c.skippedCount() <= records);

    // Records never reach past the bytes, and only one that followed a double quote holds a line end.
    vbu::CatalogueRecords cutter(bytes);
    QByteArrayView record;
    while (cutter.next(record)) {
        check(record.data() >= bytes.data() && record.data() + record.size() <= bytes.data() + bytes.size());
        const bool quoted = record.data() > bytes.data() && record.data()[-1] == '"';
        check(quoted || (!record.contains('\r') && !record.contains('\n')));
    }

    QSet<QByteArray> keys;
    qsizetype children = 0;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        const vbu::Catalogue::Node &n = nodes.at(i);
        check(n.parent < i);
        if (n.isCommand()) {
            check(n.image == vbu::Catalogue::CommandImage && !n.text.isEmpty() && n.children.isEmpty());
            check(n.parent >= 0 && nodes.at(n.parent).isSection());
        } else {
            check(n.image == vbu::Catalogue::FolderImage);
            check(!keys.contains(n.key));
            keys.insert(n.key);
            check(n.key.mid(1) == n.text);
            check(c.indexOfKey(n.key) == i);
            if (n.isGroup())
                check(n.parent == -1 && c.topLevel().contains(int(i)));
            else
                check(n.isSection() && n.parent >= 0 && nodes.at(n.parent).isGroup());
        }
        for (const int child : n.children)
            check(child > i && child < nodes.size() && nodes.at(child).parent == i);
        children += n.children.size();
    }
    check(children + c.topLevel().size() == nodes.size());
    check(c.treeOrder().size() == nodes.size());
    return 0;
}
