#include "gui/editor/KeyMapBindings.h"

#include "core/check/KeyScope.h"
#include "core/check/LineCheck.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

KeyMapBindings::Uses KeyMapBindings::read(const ScriptLines &lines, CheckGame game)
{
    LineCheck check(game);
    LineCheck::Result result;
    KeyScope topLevel(LineCheck::keyCount());
    std::vector<bool> twice(size_t(LineCheck::keyCount()), false);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        LineCheck::Line line;
        line.text = lines.view(i);
        // The game reads nothing after a zero byte.
        const qsizetype zero = line.text.indexOf('\0');
        if (zero >= 0) {
            line.text = line.text.first(zero);
            line.zeroByte = true;
        } else {
            line.endBytes = 2;
            line.crlf = true;
        }
        // Only lines that bind or unbind count, and a quick look finds them.
        if (QLatin1StringView(line.text).contains("bind"_L1, Qt::CaseInsensitive)) {
            check.check(i, line, result);
            for (const LineCheck::FirstBind &bind : result.firstBinds) {
                if (topLevel.lineOf(bind.key))
                    twice[size_t(bind.key)] = true;
            }
            for (const int key : result.keysBoundTwice)
                twice[size_t(key)] = true;
            if (result.unbindsAll)
                topLevel.clear();
            for (const LineCheck::KeyLeft &left : result.keysLeft) {
                if (left.bound)
                    topLevel.bind(left.key, i);
                else
                    topLevel.unbind(left.key);
            }
        }
        if (line.zeroByte)
            break;
    }
    Uses out;
    for (int key = 0; key < int(out.size()); ++key) {
        if (!topLevel.lineOf(key))
            out[size_t(key)] = Use::Free;
        else
            out[size_t(key)] = twice[size_t(key)] ? Use::BoundTwice : Use::Bound;
    }
    return out;
}

} // namespace vbu
