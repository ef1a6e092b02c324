// The two bodies of the update check on arbitrary bytes: version.txt and commands.dat as the
// server might send them. Input: two bytes (little-endian) giving the version's share of the
// rest, then the version body, then the catalogue body.
#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueUpdate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using vbu::Catalogue;
using Problem = vbu::CatalogueUpdate::Problem;
namespace update = vbu::CatalogueUpdate;

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

bool isText(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 ? b != 0x7f : (b == '\t' || b == '\r' || b == '\n');
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The line ends of the body in order, each CR LF, CR or LF; whole when the body ends with one
// and that one is like the first.
bool endsLikeItsFirstLine(QByteArrayView body)
{
    QList<QByteArrayView> ends;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (!isLineEnd(body[i]))
            continue;
        const qsizetype n = body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n' ? 2 : 1;
        ends.append(body.sliced(i, n));
        i += n - 1;
    }
    return !ends.isEmpty() && ends.constLast().end() == body.end() && ends.constLast() == ends.constFirst();
}

struct Counts
{
    qsizetype groups = 0, sections = 0, commands = 0;
};

Counts count(const Catalogue &c)
{
    Counts n;
    for (const Catalogue::Node &node : c.nodes()) {
        n.groups += node.isGroup();
        n.sections += node.isSection();
        n.commands += node.isCommand();
    }
    return n;
}

bool sameTree(const Catalogue &a, const Catalogue &b)
{
    if (a.nodes().size() != b.nodes().size() || a.catalogueVersion() != b.catalogueVersion())
        return false;
    for (qsizetype i = 0; i < a.nodes().size(); ++i) {
        const Catalogue::Node &x = a.nodes().at(i);
        const Catalogue::Node &y = b.nodes().at(i);
        if (x.key != y.key || x.text != y.text || x.parent != y.parent || x.image != y.image)
            return false;
    }
    return true;
}

void version(QByteArrayView body)
{
    const Problem p = update::checkVersion(body);
    check((p == Problem::Empty) == body.isEmpty());
    check((p == Problem::TooLong) == (body.size() > update::maxVersionSize));
    const bool text = std::all_of(body.begin(), body.end(), isText);
    if (!body.isEmpty() && body.size() <= update::maxVersionSize)
        check(p == (text ? Problem::None : Problem::Binary));
    check(update::describe(p).isEmpty() == (p == Problem::None));

    // Whole strings: equal to itself, never to itself with a line end.
    check(update::isCurrent(body, body));
    const QByteArray withLineEnd = body.toByteArray() + "\r\n";
    check(!update::isCurrent(withLineEnd, body) && !update::isCurrent(body, withLineEnd));

    // A usable version without line ends or commas is exactly what a catalogue carrying it
    // gives, so a server whose commands.dat matches its version.txt is then current.
    if (p != Problem::None || body.contains('\r') || body.contains('\n') || body.contains(','))
        return;
    const QByteArray catalogue = "//" + body.toByteArray() + "\r\n{G}\r\n[S]\r\nc\r\n";
    check(update::checkCatalogue(catalogue) == Problem::None);
    check(update::isCurrent(body, Catalogue::parse(catalogue).catalogueVersion()));
}

void catalogue(QByteArrayView body)
{
    const Problem p = update::checkCatalogue(body);
    check((p == Problem::Empty) == body.isEmpty());
    check((p == Problem::Binary) == body.contains('\0'));
    if (p == Problem::Empty || p == Problem::Binary)
        return;
    const Catalogue c = Catalogue::parse(body);
    const Counts n = count(c);
    const Problem expected = n.groups == 0                                        ? Problem::NoGroup
                             : n.sections == 0                                    ? Problem::NoSection
                             : n.commands == 0                                    ? Problem::NoCommand
                             : !endsLikeItsFirstLine(body) || c.endsInOpenQuote() ? Problem::Unended
                             : c.skippedCount() > 0                               ? Problem::SkippedRecords
                                                                                  : Problem::None;
    check(p == expected);
    check(p != Problem::TooLong);
    check(update::describe(p).isEmpty() == (p == Problem::None));

    // The file written is the body and CR LF, and it reads back as the tree that was checked.
    const QByteArray file = update::fileBytes(body);
    check(file.size() == body.size() + 2 && file.startsWith(body) && file.endsWith("\r\n"));
    if (p != Problem::None)
        return;
    check(sameTree(c, Catalogue::parse(file)));
    // Cut inside its last line, as a connection that ends early leaves it, a list is never taken:
    // within the text, or between the CR and the LF when an earlier line shows that line end.
    const qsizetype lastLine = body.chopped(1).lastIndexOf('\n') + 1;
    for (const qsizetype cut : {body.size() - 1, body.size() - 2, (lastLine + body.size()) / 2}) {
        if (cut > lastLine && (!isLineEnd(body[cut - 1]) || (lastLine > 0 && body.sliced(cut - 1) == "\r\n")))
            check(update::checkCatalogue(body.first(cut)) != Problem::None);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype share = qsizetype(data[0] | (data[1] << 8)) % (rest.size() + 1);
    version(rest.first(share));
    catalogue(rest.sliced(share));
    return 0;
}
