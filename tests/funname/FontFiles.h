#pragma once

#include <QByteArray>
#include <QList>

// Small pak, wad and pcx files of our own making, laid out as the games lay theirs out.
namespace vbu::test::fontfiles {

struct Entry
{
    QByteArray name;
    QByteArray data;
};

// Header, the files, then the directory (as the games' tools write it), or the directory
// right after the header.
QByteArray pak(const QList<Entry> &entries, bool directoryFirst = false);
// A WAD2 holding the entries as lumps of type 68.
QByteArray wad(const QList<Entry> &lumps);
// An 8-bit PCX with run-length coded rows of bytesPerLine bytes (padding with index 0) and
// the 0x0C marker and palette at the end.
QByteArray pcx(int width, int height, const QByteArray &pixels, const QByteArray &palette, int bytesPerLine = 0);

// 768 bytes; every entry distinct so a wrong index shows as a wrong colour.
QByteArray palette();
// 128 by 128 indices with a pattern that differs per glyph and uses index 0 and 255.
QByteArray conchars();
// Quake's gfx.wad holding conchars, and gfx/palette.lmp.
QList<Entry> quakeFiles();

} // namespace vbu::test::fontfiles
