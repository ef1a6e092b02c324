#include "cli/UpdateCommand.h"

#include "core/script/FileReplacer.h"

#include "core/catalogue/CatalogueFile.h"
#include "core/catalogue/CatalogueUpdate.h"
#include "core/catalogue/UpdateFetcher.h"

using namespace Qt::StringLiterals;

namespace vbu::cli {

namespace {

int usage(Io &io)
{
    print(io.err, u"usage: vbu-cfg update [--yes] [CATALOGUE]\n"_s);
    return 2;
}

int failure(Io &io, const QString &why)
{
    // The writer's own reasons already say what became of the file.
    const QString end = FileReplacer::tellsWhatBecameOfTheFile(why) ? QString()
                        : why.endsWith(u'.')                        ? u" Your command list was not changed."_s
                                                                    : u". Your command list was not changed."_s;
    print(io.err, u"vbu-cfg update: "_s + why + end + u'\n');
    return 1;
}

} // namespace

int runUpdate(const QStringList &args, Io &io)
{
    bool yes = false;
    bool options = true;
    QStringList names;
    for (const QString &arg : args) {
        if (options && arg == "--"_L1)
            options = false;
        else if (options && arg == "--yes"_L1)
            yes = true;
        else if (options && arg.startsWith(u'-') && arg.size() > 1)
            return usage(io);
        else
            names += arg;
    }
    if (names.size() > 1)
        return usage(io);
    const std::optional<QUrl> base = CatalogueUpdate::baseUrlFromEnvironment();
    if (!base) {
        print(io.err, u"vbu-cfg update: "_s + QLatin1StringView(CatalogueUpdate::urlVariable) +
                          u" must name the update server, an http:// or https:// URL.\n"_s);
        return 2;
    }

    // Without a name: the catalogue the editor reads, replaced where the editor's update writes.
    const QString path = names.isEmpty() ? CatalogueFile::path() : names.constFirst();
    const QString target = names.isEmpty() ? CatalogueFile::updatePath(path) : path;
    const CatalogueFile::Load load = CatalogueFile::loadCatalogue(path);
    if (load.status == CatalogueFile::Load::Status::Unreadable)
        return failure(io, path + u": "_s + load.error);

    // One document: its body, or why it cannot be used.
    UpdateFetcher fetcher;
    const auto fetch = [&](const QString &name, const QString &what, CatalogueUpdate::Problem (*check)(QByteArrayView),
                           QByteArray *body) -> std::optional<QString> {
        const QUrl url = CatalogueUpdate::documentUrl(*base, name);
        UpdateFetcher::Result result = fetcher.fetch(url);
        if (!result.ok())
            return u"could not download "_s + url.toDisplayString() + u": "_s + result.error;
        if (const CatalogueUpdate::Problem problem = check(result.body); problem != CatalogueUpdate::Problem::None)
            return u"the "_s + what + u" sent by the update server cannot be used: "_s +
                   CatalogueUpdate::describe(problem);
        *body = std::move(result.body);
        return std::nullopt;
    };

    QByteArray version;
    if (const auto why = fetch(u"version.txt"_s, u"version number"_s, CatalogueUpdate::checkVersion, &version))
        return failure(io, *why);
    if (CatalogueUpdate::isCurrent(version, load.catalogue.catalogueVersion())) {
        print(io.out, u"Your command list is current and does not need to be updated.\n"_s);
        return 0;
    }
    if (!yes) {
        print(io.out, u"Your version is older than the one currently available. Run vbu-cfg update --yes to "
                      u"download the new version.\n"_s);
        return 1;
    }
    QByteArray list;
    if (const auto why = fetch(u"commands.dat"_s, u"command list"_s, CatalogueUpdate::checkCatalogue, &list))
        return failure(io, *why);
    QString error;
    if (!CatalogueUpdate::save(target, list, &error))
        return failure(io, u"the new command list could not be written to "_s + target + u": "_s + error);
    print(io.out, u"Update Completed Successfully!\n"_s);
    return 0;
}

} // namespace vbu::cli
