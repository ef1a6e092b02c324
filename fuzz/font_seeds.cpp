// Writes the seed files of the font fuzz targets with the test suite's file makers:
// font-seeds <repository>/fuzz/corpus
#include "core/funname/BuiltInFont.h"

#include "FontFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace vbu::test::fontfiles;

namespace {

bool put(const QDir &corpus, const QString &target, const QString &name, const QByteArray &bytes)
{
    if (!corpus.mkpath(target))
        return false;
    QFile file(corpus.filePath(target + u'/' + name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        qWarning("usage: font-seeds CORPUS_DIR");
        return 2;
    }
    const QDir corpus(args[1]);

    QByteArray tiny(8 * 8, '\0');
    for (int i = 0; i < tiny.size(); ++i)
        tiny[i] = char(i % 5 == 0 ? 0xff : i / 3);
    const QByteArray smallPcx = pcx(8, 8, tiny, palette(), 10);
    // Our own font compresses as a real one does: long runs of the background.
    const QByteArray fontPcx = pcx(128, 128, vbu::BuiltInFont::sheet().pixels, palette());
    const QByteArray smallWad = wad({{"conback", "back"}, {"CONCHARS", tiny}});

    bool ok = true;
    ok &= put(corpus, u"fuzz_pak"_s, u"small.pak"_s,
              pak({{"gfx.wad", smallWad}, {"gfx/palette.lmp", palette().left(48)}, {"PICS/conchars.pcx", smallPcx}}));
    ok &= put(corpus, u"fuzz_pak"_s, u"directory-first.pak"_s, pak({{"a", "1"}, {"gfx.wad", smallWad}}, true));
    ok &= put(corpus, u"fuzz_pak"_s, u"quake2.pak"_s, pak({{"pics/conchars.pcx", fontPcx}}));
    ok &= put(corpus, u"fuzz_pak"_s, u"empty.pak"_s, pak({}));
    ok &= put(corpus, u"fuzz_wad"_s, u"quake.wad"_s, quakeFiles()[0].data);
    ok &= put(corpus, u"fuzz_wad"_s, u"small.wad"_s, smallWad);
    ok &= put(corpus, u"fuzz_pcx"_s, u"conchars.pcx"_s, fontPcx);
    ok &= put(corpus, u"fuzz_pcx"_s, u"small.pcx"_s, smallPcx);
    ok &= put(corpus, u"fuzz_pcx"_s, u"one-pixel.pcx"_s, pcx(1, 1, "\xc7", palette()));
    return ok ? 0 : 1;
}
