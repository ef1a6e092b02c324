#include "core/editor/CapturedKey.h"

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

struct Name
{
    int key;
    QLatin1StringView name;
};

constexpr Name keypadNames[] = {
    {Qt::Key_Home, "kp_home"_L1},        {Qt::Key_7, "kp_home"_L1},
    {Qt::Key_Up, "kp_uparrow"_L1},       {Qt::Key_8, "kp_uparrow"_L1},
    {Qt::Key_PageUp, "kp_pgup"_L1},      {Qt::Key_9, "kp_pgup"_L1},
    {Qt::Key_Left, "kp_leftarrow"_L1},   {Qt::Key_4, "kp_leftarrow"_L1},
    {Qt::Key_Clear, "kp_5"_L1},          {Qt::Key_5, "kp_5"_L1},
    {Qt::Key_Right, "kp_rightarrow"_L1}, {Qt::Key_6, "kp_rightarrow"_L1},
    {Qt::Key_End, "kp_end"_L1},          {Qt::Key_1, "kp_end"_L1},
    {Qt::Key_Down, "kp_downarrow"_L1},   {Qt::Key_2, "kp_downarrow"_L1},
    {Qt::Key_PageDown, "kp_pgdn"_L1},    {Qt::Key_3, "kp_pgdn"_L1},
    {Qt::Key_Enter, "kp_enter"_L1},      {Qt::Key_Return, "kp_enter"_L1},
    {Qt::Key_Insert, "kp_ins"_L1},       {Qt::Key_0, "kp_ins"_L1},
    {Qt::Key_Delete, "kp_del"_L1},       {Qt::Key_Period, "kp_del"_L1},
    {Qt::Key_Slash, "kp_slash"_L1},      {Qt::Key_Minus, "kp_minus"_L1},
    {Qt::Key_Plus, "kp_plus"_L1},
};

constexpr Name specialNames[] = {
    {Qt::Key_Tab, "tab"_L1},
    {Qt::Key_Backtab, "tab"_L1},
    {Qt::Key_Return, "enter"_L1},
    {Qt::Key_Enter, "enter"_L1},
    {Qt::Key_Space, "space"_L1},
    {Qt::Key_Backspace, "backspace"_L1},
    {Qt::Key_Up, "uparrow"_L1},
    {Qt::Key_Down, "downarrow"_L1},
    {Qt::Key_Left, "leftarrow"_L1},
    {Qt::Key_Right, "rightarrow"_L1},
    {Qt::Key_Alt, "alt"_L1},
    {Qt::Key_AltGr, "alt"_L1},
    {Qt::Key_Control, "ctrl"_L1},
    {Qt::Key_Shift, "shift"_L1},
    {Qt::Key_Insert, "ins"_L1},
    {Qt::Key_Delete, "del"_L1},
    {Qt::Key_PageDown, "pgdn"_L1},
    {Qt::Key_PageUp, "pgup"_L1},
    {Qt::Key_Home, "home"_L1},
    {Qt::Key_End, "end"_L1},
    {Qt::Key_Pause, "pause"_L1},
    {Qt::Key_CapsLock, "capslock"_L1},
    {Qt::Key_Semicolon, "semicolon"_L1},
    {Qt::Key_Colon, "semicolon"_L1},
};

// The games name a key by its unshifted character; a shifted symbol is that same key.
constexpr char shiftedToPlain[][2] = {
    {'!', '1'},  {'@', '2'},  {'#', '3'}, {'$', '4'}, {'%', '5'}, {'^', '6'}, {'&', '7'},
    {'*', '8'},  {'(', '9'},  {')', '0'}, {'_', '-'}, {'+', '='}, {'{', '['}, {'}', ']'},
    {'|', '\\'}, {'"', '\''}, {'<', ','}, {'>', '.'}, {'?', '/'}, {'~', '`'},
};

QString lookUp(const Name *begin, const Name *end, int key)
{
    for (const Name *n = begin; n != end; ++n) {
        if (n->key == key)
            return n->name;
    }
    return {};
}

} // namespace

QString CapturedKey::fromKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        QString name = lookUp(std::begin(keypadNames), std::end(keypadNames), qtKey);
        if (!name.isEmpty())
            return name;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F15)
        return u'f' + QString::number(qtKey - Qt::Key_F1 + 1);
    QString special = lookUp(std::begin(specialNames), std::end(specialNames), qtKey);
    if (!special.isEmpty())
        return special;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return QString(QLatin1Char(char('a' + (qtKey - Qt::Key_A))));
    if (text.size() != 1 || text.at(0).unicode() <= 32 || text.at(0).unicode() >= 127)
        return {};
    char c = char(text.at(0).unicode());
    if (c >= 'A' && c <= 'Z')
        c = char(c - 'A' + 'a');
    for (const auto &pair : shiftedToPlain) {
        if (pair[0] == c)
            c = pair[1];
    }
    return c == ';' ? u"semicolon"_s : QString(QLatin1Char(c));
}

QString CapturedKey::fromMouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return u"mouse1"_s;
    case Qt::RightButton:
        return u"mouse2"_s;
    case Qt::MiddleButton:
        return u"mouse3"_s;
    case Qt::BackButton:
        return u"mouse4"_s;
    case Qt::ForwardButton:
        return u"mouse5"_s;
    default:
        return {};
    }
}

QString CapturedKey::fromWheel(int delta)
{
    if (delta > 0)
        return u"mwheelup"_s;
    if (delta < 0)
        return u"mwheeldown"_s;
    return {};
}

} // namespace vbu
