#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace vbu {

// Integers of the games' files, at a position the caller has checked lies inside the bytes.
inline qint32 readInt32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.data() + at);
}

inline quint16 readUInt16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

// Names in the games' archives compare as the engines do it: only A to Z fold.
inline bool sameNameNoCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace vbu
