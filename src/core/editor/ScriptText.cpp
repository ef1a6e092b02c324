#include "core/editor/ScriptText.h"

#include <algorithm>

namespace vbu::ScriptText {

bool isScriptText(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 1 && c.unicode() <= 255; });
}

std::optional<QByteArray> toBytes(QStringView text)
{
    if (!isScriptText(text))
        return std::nullopt;
    return text.toLatin1();
}

QByteArray composeBinding(const QByteArray &type, const QByteArray &key, const QByteArray &quote,
                          const QByteArray &text)
{
    QByteArray line;
    line.reserve(type.size() + key.size() + 2 * quote.size() + text.size() + 2);
    line.append(type).append(' ').append(key).append(' ').append(quote).append(text).append(quote);
    return line;
}

} // namespace vbu::ScriptText
