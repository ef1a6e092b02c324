#include "gui/editor/Latin1Validator.h"

#include "core/editor/ScriptText.h"

namespace vbu {

QValidator::State Latin1Validator::validate(QString &input, int &) const
{
    return ScriptText::isScriptText(input) ? Acceptable : Invalid;
}

} // namespace vbu
