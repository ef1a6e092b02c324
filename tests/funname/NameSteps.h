#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

namespace vbu::test {

// A name composition written as steps: a number picks that palette code, "@k" puts the cursor
// on name cell k, "<" is backspace, "new" starts a new name.
struct NameStep
{
    enum Kind { Pick, Move, Back, New } kind;
    int value = 0;
};

inline QList<NameStep> parseSteps(const QString &text)
{
    QList<NameStep> steps;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (word == u"<")
            steps.append(NameStep{NameStep::Back});
        else if (word == u"new")
            steps.append(NameStep{NameStep::New});
        else if (word.startsWith(u'@'))
            steps.append(NameStep{NameStep::Move, word.mid(1).toInt()});
        else
            steps.append(NameStep{NameStep::Pick, word.toInt()});
    }
    return steps;
}

// The glyph codes of the 15 name cells, -1 for an empty picture: "72 . 65" leaves cell 1
// and cells 3 to 14 empty.
inline QList<int> parsePictures(const QString &text)
{
    QList<int> pictures(15, -1);
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype k = 0; k < words.size(); ++k)
        pictures[k] = words.at(k) == u"." ? -1 : words.at(k).toInt();
    return pictures;
}

// count codes picked one after another from first.
inline QString run(int first, int count)
{
    QStringList words;
    for (int code = first; code < first + count; ++code)
        words.append(QString::number(code));
    return words.join(u' ');
}

inline void addCompositionRows()
{
    using namespace Qt::StringLiterals;
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("namePos");
    QTest::addColumn<int>("marker");
    QTest::addColumn<QString>("pictures");
    QTest::addColumn<int>("refused");

    QTest::newRow("fill to 15") << run(65, 15) << QByteArray("ABCDEFGHIJKLMNO") << 15 << 14 << run(65, 15) << 0;
    QTest::newRow("14th pick: marker under the last cell")
        << run(65, 14) << QByteArray("ABCDEFGHIJKLMN") << 14 << 14 << run(65, 14) << 0;
    QTest::newRow("16th pick refused") << run(65, 16) << QByteArray("ABCDEFGHIJKLMNO") << 15 << 14 << run(65, 15) << 1;
    QTest::newRow("17th refused again") << run(97, 17) << QByteArray("abcdefghijklmno") << 15 << 14 << run(97, 15) << 2;
    QTest::newRow("backspace at 0") << u"<"_s << QByteArray() << 0 << 0 << QString() << 0;
    QTest::newRow("backspace at 15") << run(65, 15) + u" <"_s << QByteArray("ABCDEFGHIJKLMN") << 14 << 14 << run(65, 14)
                                     << 0;
    QTest::newRow("backspace past the start") << u"65 66 < < <"_s << QByteArray() << 0 << 0 << QString() << 0;
    QTest::newRow("cursor moved back: overwrite")
        << u"72 101 108 108 111 @2 65"_s << QByteArray("HeAlo") << 3 << 3 << u"72 101 65 108 111"_s << 0;
    QTest::newRow("full, cursor to 0: overwrite")
        << run(65, 15) + u" @0 90"_s << QByteArray("ZBCDEFGHIJKLMNO") << 1 << 1 << u"90 "_s + run(66, 14) << 0;
    QTest::newRow("gap after the name") << u"65 66 67 @10 68"_s << QByteArray("ABCD") << 11 << 11
                                        << u"65 66 67 . . . . . . . 68"_s << 0;
    QTest::newRow("backspace empties the cell before the cursor")
        << u"65 66 67 @1 <"_s << QByteArray("BC") << 0 << 0 << u". 66 67"_s << 0;
    QTest::newRow("last cell chosen, two picks")
        << u"@14 65 66"_s << QByteArray("A") << 15 << 14 << u". . . . . . . . . . . . . . 65"_s << 1;
    QTest::newRow("backspace from the last cell") << u"@14 <"_s << QByteArray() << 13 << 13 << QString() << 0;
    QTest::newRow("cell 0: a glyph, no character") << u"0 65 0"_s << QByteArray("A") << 3 << 3 << u"0 65 0"_s << 0;
    QTest::newRow("double quote") << u"34 72 34"_s << QByteArray("\"H\"") << 3 << 3 << u"34 72 34"_s << 0;
    QTest::newRow("codes above 127") << u"128 255 193 127"_s << QByteArray("\x80\xff\xc1\x7f") << 4 << 4
                                     << u"128 255 193 127"_s << 0;
    QTest::newRow("new after a full name") << run(65, 15) + u" new 66"_s << QByteArray("B") << 1 << 1 << u"66"_s << 0;
}

} // namespace vbu::test
