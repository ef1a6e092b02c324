#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>

namespace vbu::CatalogueUpdate {

// The pieces of the catalogue update that need no network: where the server is, whether the
// two documents it sends are usable, how the version compares, and replacing commands.dat.
//
//   base = baseUrlFromEnvironment()                          -> the check is offered at all
//   checkVersion(body) == None, isCurrent(body, local)        -> "Current Version Installed"
//   checkCatalogue(body) == None, save(path, body, &error)   -> the new commands.dat

// Names the update server: scheme, host, optional path.
inline constexpr char urlVariable[] = "VBU_UPDATE_URL";
// A version is a short line of text; a longer body is something else.
constexpr qsizetype maxVersionSize = 255;

// Why a body is refused; None when it is usable.
enum class Problem {
    None,
    Empty,         // no bytes at all
    TooLong,       // version.txt longer than maxVersionSize
    Binary,        // version.txt: NUL, DEL or a control byte other than tab, CR, LF; catalogue: NUL
    NoGroup,       // the catalogue yields no group
    NoSection,     // ... no section
    NoCommand,     // ... no command
    Unended,       // its last line does not end as its first does, or a quote never closes
    SkippedRecords // the catalogue has records that do not fit its tree (see Catalogue::parse)
};

// An http or https URL with a host and neither query nor fragment, its trailing slashes
// removed; nothing for anything else.
std::optional<QUrl> parseBaseUrl(const QString &text);
// The base URL from VBU_UPDATE_URL; nothing when it is unset, empty or not usable.
std::optional<QUrl> baseUrlFromEnvironment();
// The base URL followed by "/" and the document name.
QUrl documentUrl(const QUrl &base, const QString &name);

// version.txt is taken exactly as it arrived, line end and all, as long as it is short text.
Problem checkVersion(QByteArrayView body);
// Whole strings, byte for byte: a trailing CR LF makes them differ.
bool isCurrent(QByteArrayView remote, QByteArrayView local);
// commands.dat must read as a well-formed catalogue with at least one group, section and
// command, so that an error page or a broken file never replaces a good list; and its last line
// must be ended as its first is, so that a list cut short on the way (a body without a length
// ends wherever the connection does) never replaces one either.
Problem checkCatalogue(QByteArrayView body);
// One sentence for the user.
QString describe(Problem problem);

// What commands.dat holds after the update: the body followed by CR LF.
QByteArray fileBytes(QByteArrayView body);
// Writes fileBytes(body) to a temporary file beside path and renames it over path, so the old
// file stays whole until the new one is complete; the folder of the user's own copy is made when
// it is missing. False, with the reason in error, when that fails; path is then as it was.
bool save(const QString &path, QByteArrayView body, QString *error);

} // namespace vbu::CatalogueUpdate
