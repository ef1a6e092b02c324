#include "core/catalogue/CatalogueUpdate.h"

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueFile.h"
#include "core/script/ScriptWriter.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vbu::CatalogueUpdate {

namespace {

bool isControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7f;
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// CR LF, CR or LF; empty for none.
QByteArrayView firstLineEnd(QByteArrayView body)
{
    const qsizetype pos = std::find_if(body.begin(), body.end(), isLineEnd) - body.begin();
    if (pos == body.size())
        return {};
    return body.sliced(pos, body.sliced(pos).startsWith("\r\n") ? 2 : 1);
}

QByteArrayView lastLineEnd(QByteArrayView body)
{
    if (body.endsWith("\r\n"))
        return body.last(2);
    return !body.isEmpty() && isLineEnd(body.back()) ? body.last(1) : QByteArrayView();
}

// A connection that ends early leaves the body inside its last line, or between the CR and the
// LF of its line end; a whole catalogue ends its last line as it ends its first.
bool endsWhole(QByteArrayView body)
{
    const QByteArrayView last = lastLineEnd(body);
    return !last.isEmpty() && last == firstLineEnd(body);
}

// The body is written as a script of one line is: followed by CR LF.
ScriptLines asOneLine(QByteArrayView body)
{
    ScriptLines lines;
    lines.append(body.toByteArray());
    return lines;
}

} // namespace

std::optional<QUrl> parseBaseUrl(const QString &text)
{
    QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != "http"_L1 && url.scheme() != "https"_L1) || url.host().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path, QUrl::TolerantMode);
    return url;
}

std::optional<QUrl> baseUrlFromEnvironment()
{
    return parseBaseUrl(qEnvironmentVariable(urlVariable));
}

QUrl documentUrl(const QUrl &base, const QString &name)
{
    QUrl url = base;
    url.setPath(base.path(QUrl::FullyEncoded) + u'/' + name, QUrl::TolerantMode);
    return url;
}

Problem checkVersion(QByteArrayView body)
{
    if (body.isEmpty())
        return Problem::Empty;
    if (body.size() > maxVersionSize)
        return Problem::TooLong;
    if (std::any_of(body.begin(), body.end(), isControl))
        return Problem::Binary;
    return Problem::None;
}

bool isCurrent(QByteArrayView remote, QByteArrayView local)
{
    return remote == local;
}

Problem checkCatalogue(QByteArrayView body)
{
    if (body.isEmpty())
        return Problem::Empty;
    if (body.contains('\0'))
        return Problem::Binary;
    const Catalogue catalogue = Catalogue::parse(body);
    bool group = false;
    bool section = false;
    bool command = false;
    for (const Catalogue::Node &node : catalogue.nodes()) {
        group = group || node.isGroup();
        section = section || node.isSection();
        command = command || node.isCommand();
    }
    if (!group)
        return Problem::NoGroup;
    if (!section)
        return Problem::NoSection;
    if (!command)
        return Problem::NoCommand;
    // A quote left open swallows the line end the file is written with: the list would read
    // back otherwise than it was checked, and an open quote is what a cut-short body leaves.
    if (!endsWhole(body) || catalogue.endsInOpenQuote())
        return Problem::Unended;
    if (catalogue.skippedCount() > 0)
        return Problem::SkippedRecords;
    return Problem::None;
}

QString describe(Problem problem)
{
    switch (problem) {
    case Problem::None:
        break;
    case Problem::Empty:
        return u"It is empty."_s;
    case Problem::TooLong:
        return u"It is longer than %1 bytes, too long for a version."_s.arg(maxVersionSize);
    case Problem::Binary:
        return u"It holds bytes that do not belong in a text file."_s;
    case Problem::NoGroup:
        return u"It holds no group of commands."_s;
    case Problem::NoSection:
        return u"It holds no section of commands."_s;
    case Problem::NoCommand:
        return u"It holds no command."_s;
    case Problem::Unended:
        return u"Its last line breaks off before its end, or a quote in it never closes, so it did not arrive whole."_s;
    case Problem::SkippedRecords:
        return u"It has lines that do not fit a command list (a repeated group or section, or a line out of place)."_s;
    }
    return {};
}

QByteArray fileBytes(QByteArrayView body)
{
    return ScriptWriter::toBytes(asOneLine(body));
}

bool save(const QString &path, QByteArrayView body, QString *error)
{
    // The user's own copy is the one catalogue whose folder may not be there yet.
    if (path == CatalogueFile::userCopyPath())
        QDir().mkpath(QFileInfo(path).absolutePath());
    // Atomic, and never in the old file's place unless every byte reached the disk.
    return ScriptWriter::writeFile(path, asOneLine(body), error);
}

} // namespace vbu::CatalogueUpdate
