#include "cli/CatalogueCommand.h"

#include "core/catalogue/CatalogueFile.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

int runCatalogue(const QStringList &args, Io &io)
{
    if (args.size() > 1) {
        print(io.err, u"usage: vbu-cfg catalogue [FILE]\n"_s);
        return 2;
    }
    // Without a name, the catalogue the editor's Command List reads.
    const QString path = args.isEmpty() ? CatalogueFile::path() : args.constFirst();
    const CatalogueFile::Load load = CatalogueFile::loadCatalogue(path);
    switch (load.status) {
    case CatalogueFile::Load::Status::Missing:
        print(io.err, CatalogueFile::missingFileMessage(u"\n") + u'\n');
        return 1;
    case CatalogueFile::Load::Status::Unreadable:
        print(io.err, u"vbu-cfg: "_s + path + u": "_s + load.error + u'\n');
        return 1;
    case CatalogueFile::Load::Status::Loaded:
        break;
    }

    const Catalogue &catalogue = load.catalogue;
    QByteArray out = "version " + catalogue.catalogueVersion() + '\n';
    for (const int index : catalogue.treeOrder()) {
        out += QByteArray(2 * catalogue.depth(index), ' ');
        out += catalogue.nodes().at(index).text;
        out += '\n';
    }
    if (!writeOut(io, out))
        return 1;
    if (catalogue.skippedCount() > 0)
        print(io.err, u"vbu-cfg: %1 record(s) left out: they would break the tree (repeated name, "
                      u"no group or section to go under, or past record %2).\n"_s.arg(catalogue.skippedCount())
                          .arg(Catalogue::maxRecords));
    return 0;
}

} // namespace vbu::cli
