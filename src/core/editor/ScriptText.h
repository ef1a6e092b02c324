#pragma once

#include <QByteArray>
#include <QStringView>

#include <optional>

namespace vbu::ScriptText {

// The script bytes of a text typed or pasted by the user: each character its Latin-1 byte.
// Nothing when a character has no byte from 1 to 255, so nothing silently becomes another byte.
std::optional<QByteArray> toBytes(QStringView text);
bool isScriptText(QStringView text);

// type, blank, key, blank, quote, text, quote: exactly as given, nothing trimmed or escaped.
QByteArray composeBinding(const QByteArray &type, const QByteArray &key, const QByteArray &quote,
                          const QByteArray &text);

} // namespace vbu::ScriptText
