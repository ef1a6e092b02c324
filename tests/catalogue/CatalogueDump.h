#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueProgress.h"

#include <QByteArray>
#include <QStringList>

namespace vbu::test {

// One line per node, depth-first, two blanks a level: "key=text@image" ("-" for no key).
inline QByteArray dumpTree(const Catalogue &c)
{
    QByteArray out;
    for (const int i : c.treeOrder()) {
        const Catalogue::Node &n = c.nodes().at(i);
        out += QByteArray(2 * c.depth(i), ' ') + (n.key.isEmpty() ? QByteArray("-") : n.key) + '=' + n.text + '@' +
               QByteArray::number(n.image) + '\n';
    }
    return out;
}

// Writes down every call, as "max N" and "value N".
class RecordingProgress final : public CatalogueProgress
{
public:
    void setMaximum(int maximum) override { calls.append(QStringLiteral("max %1").arg(maximum)); }
    void setValue(int value) override { calls.append(QStringLiteral("value %1").arg(value)); }
    QStringList calls;
};

} // namespace vbu::test
