#pragma once

#include <QByteArrayView>
#include <QString>

// Pieces of the checks' messages that more than one rule uses.
namespace vbu::checkTexts {

// In English digit groups: 8,192.
QString number(qsizetype n);
// Script text inside a message: Latin-1, long texts shortened.
QString shown(QByteArrayView bytes);
// A key bound again where an earlier bind of it still holds; lines from 0.
QString boundAgain(QByteArrayView key, qsizetype line, qsizetype earlier);

} // namespace vbu::checkTexts
