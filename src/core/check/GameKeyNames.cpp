#include "core/check/GameKeyNames.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace vbu {

namespace {

// From keynames[] of Quake (WinQuake, QuakeWorld), in order.
constexpr GameKeyNames::Entry quakeKeys[] = {
    {"TAB"_L1, 9},        {"ENTER"_L1, 13},       {"ESCAPE"_L1, 27},     {"SPACE"_L1, 32},       {"BACKSPACE"_L1, 127},
    {"UPARROW"_L1, 128},  {"DOWNARROW"_L1, 129},  {"LEFTARROW"_L1, 130}, {"RIGHTARROW"_L1, 131}, {"ALT"_L1, 132},
    {"CTRL"_L1, 133},     {"SHIFT"_L1, 134},      {"F1"_L1, 135},        {"F2"_L1, 136},         {"F3"_L1, 137},
    {"F4"_L1, 138},       {"F5"_L1, 139},         {"F6"_L1, 140},        {"F7"_L1, 141},         {"F8"_L1, 142},
    {"F9"_L1, 143},       {"F10"_L1, 144},        {"F11"_L1, 145},       {"F12"_L1, 146},        {"INS"_L1, 147},
    {"DEL"_L1, 148},      {"PGDN"_L1, 149},       {"PGUP"_L1, 150},      {"HOME"_L1, 151},       {"END"_L1, 152},
    {"MOUSE1"_L1, 200},   {"MOUSE2"_L1, 201},     {"MOUSE3"_L1, 202},    {"JOY1"_L1, 203},       {"JOY2"_L1, 204},
    {"JOY3"_L1, 205},     {"JOY4"_L1, 206},       {"AUX1"_L1, 207},      {"AUX2"_L1, 208},       {"AUX3"_L1, 209},
    {"AUX4"_L1, 210},     {"AUX5"_L1, 211},       {"AUX6"_L1, 212},      {"AUX7"_L1, 213},       {"AUX8"_L1, 214},
    {"AUX9"_L1, 215},     {"AUX10"_L1, 216},      {"AUX11"_L1, 217},     {"AUX12"_L1, 218},      {"AUX13"_L1, 219},
    {"AUX14"_L1, 220},    {"AUX15"_L1, 221},      {"AUX16"_L1, 222},     {"AUX17"_L1, 223},      {"AUX18"_L1, 224},
    {"AUX19"_L1, 225},    {"AUX20"_L1, 226},      {"AUX21"_L1, 227},     {"AUX22"_L1, 228},      {"AUX23"_L1, 229},
    {"AUX24"_L1, 230},    {"AUX25"_L1, 231},      {"AUX26"_L1, 232},     {"AUX27"_L1, 233},      {"AUX28"_L1, 234},
    {"AUX29"_L1, 235},    {"AUX30"_L1, 236},      {"AUX31"_L1, 237},     {"AUX32"_L1, 238},      {"PAUSE"_L1, 255},
    {"MWHEELUP"_L1, 239}, {"MWHEELDOWN"_L1, 240}, {"SEMICOLON"_L1, 59},
};

// From keynames[] of Quake 2, in order.
constexpr GameKeyNames::Entry quake2Keys[] = {
    {"TAB"_L1, 9},
    {"ENTER"_L1, 13},
    {"ESCAPE"_L1, 27},
    {"SPACE"_L1, 32},
    {"BACKSPACE"_L1, 127},
    {"UPARROW"_L1, 128},
    {"DOWNARROW"_L1, 129},
    {"LEFTARROW"_L1, 130},
    {"RIGHTARROW"_L1, 131},
    {"ALT"_L1, 132},
    {"CTRL"_L1, 133},
    {"SHIFT"_L1, 134},
    {"F1"_L1, 135},
    {"F2"_L1, 136},
    {"F3"_L1, 137},
    {"F4"_L1, 138},
    {"F5"_L1, 139},
    {"F6"_L1, 140},
    {"F7"_L1, 141},
    {"F8"_L1, 142},
    {"F9"_L1, 143},
    {"F10"_L1, 144},
    {"F11"_L1, 145},
    {"F12"_L1, 146},
    {"INS"_L1, 147},
    {"DEL"_L1, 148},
    {"PGDN"_L1, 149},
    {"PGUP"_L1, 150},
    {"HOME"_L1, 151},
    {"END"_L1, 152},
    {"MOUSE1"_L1, 200},
    {"MOUSE2"_L1, 201},
    {"MOUSE3"_L1, 202},
    {"JOY1"_L1, 203},
    {"JOY2"_L1, 204},
    {"JOY3"_L1, 205},
    {"JOY4"_L1, 206},
    {"AUX1"_L1, 207},
    {"AUX2"_L1, 208},
    {"AUX3"_L1, 209},
    {"AUX4"_L1, 210},
    {"AUX5"_L1, 211},
    {"AUX6"_L1, 212},
    {"AUX7"_L1, 213},
    {"AUX8"_L1, 214},
    {"AUX9"_L1, 215},
    {"AUX10"_L1, 216},
    {"AUX11"_L1, 217},
    {"AUX12"_L1, 218},
    {"AUX13"_L1, 219},
    {"AUX14"_L1, 220},
    {"AUX15"_L1, 221},
    {"AUX16"_L1, 222},
    {"AUX17"_L1, 223},
    {"AUX18"_L1, 224},
    {"AUX19"_L1, 225},
    {"AUX20"_L1, 226},
    {"AUX21"_L1, 227},
    {"AUX22"_L1, 228},
    {"AUX23"_L1, 229},
    {"AUX24"_L1, 230},
    {"AUX25"_L1, 231},
    {"AUX26"_L1, 232},
    {"AUX27"_L1, 233},
    {"AUX28"_L1, 234},
    {"AUX29"_L1, 235},
    {"AUX30"_L1, 236},
    {"AUX31"_L1, 237},
    {"AUX32"_L1, 238},
    {"KP_HOME"_L1, 160},
    {"KP_UPARROW"_L1, 161},
    {"KP_PGUP"_L1, 162},
    {"KP_LEFTARROW"_L1, 163},
    {"KP_5"_L1, 164},
    {"KP_RIGHTARROW"_L1, 165},
    {"KP_END"_L1, 166},
    {"KP_DOWNARROW"_L1, 167},
    {"KP_PGDN"_L1, 168},
    {"KP_ENTER"_L1, 169},
    {"KP_INS"_L1, 170},
    {"KP_DEL"_L1, 171},
    {"KP_SLASH"_L1, 172},
    {"KP_MINUS"_L1, 173},
    {"KP_PLUS"_L1, 174},
    {"MWHEELUP"_L1, 240},
    {"MWHEELDOWN"_L1, 239},
    {"PAUSE"_L1, 255},
    {"SEMICOLON"_L1, 59},
};

// Names from the key tables of source ports: extra mouse buttons, wheel directions and keyboard
// keys, the keypad spelled out, and game controllers, with a second layer of gamepad buttons
// (_ALT) used while a modifier button is held.
constexpr QLatin1StringView portKeys[] = {
    "MOUSE4"_L1,        "MOUSE5"_L1,       "MOUSE6"_L1,        "MOUSE7"_L1,        "MOUSE8"_L1,
    "CAPSLOCK"_L1,      "NUMLOCK"_L1,      "SCROLLOCK"_L1,     "SCROLLLOCK"_L1,    "SCRLCK"_L1,
    "SCRLK"_L1,         "PRINTSCREEN"_L1,  "PRINTSCR"_L1,      "PRTSCN"_L1,        "F13"_L1,
    "F14"_L1,           "F15"_L1,          "LALT"_L1,          "RALT"_L1,          "LCTRL"_L1,
    "RCTRL"_L1,         "LSHIFT"_L1,       "RSHIFT"_L1,        "WINKEY"_L1,        "LWINKEY"_L1,
    "RWINKEY"_L1,       "POPUPMENU"_L1,    "MENU"_L1,          "COMMAND"_L1,       "OPTION"_L1,
    "RETURN"_L1,        "ESC"_L1,          "INSERT"_L1,        "DELETE"_L1,        "KP_NUMLOCK"_L1,
    "KP_NUMLCK"_L1,     "KP_STAR"_L1,      "KP_MULTIPLY"_L1,   "KP_DIVIDE"_L1,     "KP_0"_L1,
    "KP_1"_L1,          "KP_2"_L1,         "KP_3"_L1,          "KP_4"_L1,          "KP_6"_L1,
    "KP_7"_L1,          "KP_8"_L1,         "KP_9"_L1,          "BACKQUOTE"_L1,     "TILDE"_L1,
    "LTHUMB"_L1,        "RTHUMB"_L1,       "LSHOULDER"_L1,     "RSHOULDER"_L1,     "LTRIGGER"_L1,
    "RTRIGGER"_L1,      "ABUTTON"_L1,      "BBUTTON"_L1,       "XBUTTON"_L1,       "YBUTTON"_L1,
    "A_BUTTON"_L1,      "B_BUTTON"_L1,     "C_BUTTON"_L1,      "X_BUTTON"_L1,      "Y_BUTTON"_L1,
    "Z_BUTTON"_L1,      "DPAD_UP"_L1,      "DPAD_DOWN"_L1,     "DPAD_LEFT"_L1,     "DPAD_RIGHT"_L1,
    "DPAD_CENTER"_L1,   "LSTICK"_L1,       "RSTICK"_L1,        "MISC1"_L1,         "PADDLE1"_L1,
    "PADDLE2"_L1,       "PADDLE3"_L1,      "PADDLE4"_L1,       "TOUCHPAD"_L1,      "102ND"_L1,
    "MWHEELLEFT"_L1,    "MWHEELRIGHT"_L1,  "LTHUMB_ALT"_L1,    "RTHUMB_ALT"_L1,    "LSHOULDER_ALT"_L1,
    "RSHOULDER_ALT"_L1, "DPAD_UP_ALT"_L1,  "DPAD_DOWN_ALT"_L1, "DPAD_LEFT_ALT"_L1, "DPAD_RIGHT_ALT"_L1,
    "ABUTTON_ALT"_L1,   "BBUTTON_ALT"_L1,  "XBUTTON_ALT"_L1,   "YBUTTON_ALT"_L1,   "LTRIGGER_ALT"_L1,
    "RTRIGGER_ALT"_L1,  "MISC1_ALT"_L1,    "PADDLE1_ALT"_L1,   "PADDLE2_ALT"_L1,   "PADDLE3_ALT"_L1,
    "PADDLE4_ALT"_L1,   "TOUCHPAD_ALT"_L1,
};

// The names of a list sorted, each with where it stands in the list, for lookups in any case.
struct Index
{
    std::vector<std::pair<QLatin1StringView, qsizetype>> sorted;
    qsizetype longest = 0;
};

template<typename Names, typename NameOf> Index sortedIndex(const Names &names, NameOf nameOf)
{
    Index out;
    for (const auto &entry : names) {
        const QLatin1StringView name = nameOf(entry);
        out.sorted.emplace_back(name, qsizetype(out.sorted.size()));
        out.longest = std::max(out.longest, name.size());
    }
    std::sort(out.sorted.begin(), out.sorted.end());
    return out;
}

// The lists hold upper-case ASCII names only.
std::optional<qsizetype> find(const Index &index, QByteArrayView name)
{
    std::array<char, 32> upper;
    if (name.size() > index.longest || name.size() > qsizetype(upper.size()))
        return std::nullopt;
    std::transform(name.begin(), name.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    const QLatin1StringView wanted(upper.data(), name.size());
    const auto found = std::lower_bound(index.sorted.begin(), index.sorted.end(), wanted,
                                        [](const auto &entry, QLatin1StringView n) { return entry.first < n; });
    if (found == index.sorted.end() || found->first != wanted)
        return std::nullopt;
    return found->second;
}

const Index &tableIndex(GameKeyNames::Table table)
{
    const auto name = [](const GameKeyNames::Entry &e) { return e.name; };
    static const Index quake = sortedIndex(quakeKeys, name);
    static const Index quake2 = sortedIndex(quake2Keys, name);
    return table == GameKeyNames::Table::Quake ? quake : quake2;
}

} // namespace

std::span<const GameKeyNames::Entry> GameKeyNames::table(Table table)
{
    if (table == Table::Quake)
        return quakeKeys;
    return quake2Keys;
}

std::optional<int> GameKeyNames::keyNumber(QByteArrayView name, Table which)
{
    if (const std::optional<qsizetype> at = indexOf(name, which))
        return table(which)[size_t(*at)].number;
    return std::nullopt;
}

std::optional<qsizetype> GameKeyNames::indexOf(QByteArrayView name, Table table)
{
    if (name.size() < 2)
        return std::nullopt;
    return find(tableIndex(table), name);
}

std::span<const QLatin1StringView> GameKeyNames::portNames()
{
    return portKeys;
}

std::optional<qsizetype> GameKeyNames::portIndex(QByteArrayView name)
{
    static const Index names = sortedIndex(portKeys, [](QLatin1StringView n) { return n; });
    return find(names, name);
}

} // namespace vbu
