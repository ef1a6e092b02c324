#include "gui/editor/KeyMapWindow.h"

#include "core/check/GameProfiles.h"
#include "core/check/NameHelp.h"
#include "core/script/ScriptModel.h"
#include "gui/editor/KeyCap.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QToolTip>
#include <QVBoxLayout>

#include <climits>
#include <cstdlib>

using namespace Qt::StringLiterals;
using Dialect = vbu::ScriptTokenizer::Dialect;

namespace vbu {

namespace {

constexpr int rerunDelayMs = 150;
// Places and sizes are in quarters of a key.
constexpr int quarter = 10;

struct KeyPlace
{
    const char *name; // as bind takes it, in lower case
    const char *label;
    int x;
    int y;
    int width = 4;
    int height = 4;
};

// A US keyboard as the games see it: the keys they have names for, the keypad where Quake 2
// knows it. Caps lock, print screen and the like send nothing the games can bind.
constexpr KeyPlace keyboardPlaces[] = {
    {"escape", nullptr, 0, 0},
    {"f1", nullptr, 8, 0},
    {"f2", nullptr, 12, 0},
    {"f3", nullptr, 16, 0},
    {"f4", nullptr, 20, 0},
    {"f5", nullptr, 26, 0},
    {"f6", nullptr, 30, 0},
    {"f7", nullptr, 34, 0},
    {"f8", nullptr, 38, 0},
    {"f9", nullptr, 44, 0},
    {"f10", nullptr, 48, 0},
    {"f11", nullptr, 52, 0},
    {"f12", nullptr, 56, 0},
    {"pause", nullptr, 70, 0},

    {"`", nullptr, 0, 6},
    {"1", nullptr, 4, 6},
    {"2", nullptr, 8, 6},
    {"3", nullptr, 12, 6},
    {"4", nullptr, 16, 6},
    {"5", nullptr, 20, 6},
    {"6", nullptr, 24, 6},
    {"7", nullptr, 28, 6},
    {"8", nullptr, 32, 6},
    {"9", nullptr, 36, 6},
    {"0", nullptr, 40, 6},
    {"-", nullptr, 44, 6},
    {"=", nullptr, 48, 6},
    {"backspace", nullptr, 52, 6, 8},
    {"ins", nullptr, 62, 6},
    {"home", nullptr, 66, 6},
    {"pgup", nullptr, 70, 6},
    {"kp_slash", nullptr, 80, 6},
    {"kp_minus", nullptr, 88, 6},

    {"tab", nullptr, 0, 10, 6},
    {"q", nullptr, 6, 10},
    {"w", nullptr, 10, 10},
    {"e", nullptr, 14, 10},
    {"r", nullptr, 18, 10},
    {"t", nullptr, 22, 10},
    {"y", nullptr, 26, 10},
    {"u", nullptr, 30, 10},
    {"i", nullptr, 34, 10},
    {"o", nullptr, 38, 10},
    {"p", nullptr, 42, 10},
    {"[", nullptr, 46, 10},
    {"]", nullptr, 50, 10},
    {"\\", nullptr, 54, 10, 6},
    {"del", nullptr, 62, 10},
    {"end", nullptr, 66, 10},
    {"pgdn", nullptr, 70, 10},
    {"kp_home", nullptr, 76, 10},
    {"kp_uparrow", nullptr, 80, 10},
    {"kp_pgup", nullptr, 84, 10},
    {"kp_plus", nullptr, 88, 10, 4, 8},

    {"a", nullptr, 7, 14},
    {"s", nullptr, 11, 14},
    {"d", nullptr, 15, 14},
    {"f", nullptr, 19, 14},
    {"g", nullptr, 23, 14},
    {"h", nullptr, 27, 14},
    {"j", nullptr, 31, 14},
    {"k", nullptr, 35, 14},
    {"l", nullptr, 39, 14},
    // A ';' in a bind line would end the command: the game's name for it is safe.
    {"semicolon", ";", 43, 14},
    {"'", nullptr, 47, 14},
    {"enter", nullptr, 51, 14, 9},
    {"kp_leftarrow", nullptr, 76, 14},
    {"kp_5", nullptr, 80, 14},
    {"kp_rightarrow", nullptr, 84, 14},

    {"shift", nullptr, 0, 18, 9},
    {"z", nullptr, 9, 18},
    {"x", nullptr, 13, 18},
    {"c", nullptr, 17, 18},
    {"v", nullptr, 21, 18},
    {"b", nullptr, 25, 18},
    {"n", nullptr, 29, 18},
    {"m", nullptr, 33, 18},
    {",", nullptr, 37, 18},
    {".", nullptr, 41, 18},
    {"/", nullptr, 45, 18},
    {"uparrow", nullptr, 66, 18},
    {"kp_end", nullptr, 76, 18},
    {"kp_downarrow", nullptr, 80, 18},
    {"kp_pgdn", nullptr, 84, 18},
    {"kp_enter", nullptr, 88, 18, 4, 8},

    {"ctrl", nullptr, 0, 22, 6},
    {"alt", nullptr, 10, 22, 6},
    {"space", nullptr, 16, 22, 24},
    {"leftarrow", nullptr, 62, 22},
    {"downarrow", nullptr, 66, 22},
    {"rightarrow", nullptr, 70, 22},
    {"kp_ins", nullptr, 76, 22, 8},
    {"kp_del", nullptr, 84, 22},
};

// The mouse stands to the right of the keypad, or of the arrows where the game has no keypad.
constexpr KeyPlace mousePlaces[] = {
    {"mouse1", nullptr, 0, 6},    {"mouse3", nullptr, 4, 6},      {"mouse2", nullptr, 8, 6},
    {"mwheelup", nullptr, 4, 10}, {"mwheeldown", nullptr, 4, 14},
};
constexpr int mouseLeftWithKeypad = 96;
constexpr int mouseLeftWithoutKeypad = 76;
constexpr int mouseWidth = 12;
constexpr int keyboardHeight = 26;

Dialect dialectOf(CheckGame game)
{
    return game == CheckGame::Quake ? Dialect::Quake : Dialect::Quake2;
}

// The list as Save writes it, as far as the game can run it: a script of 8,192 bytes or more
// runs not at all, so the bytes after that change nothing and a long list costs no more.
QByteArray listBytes(const ScriptLines &lines)
{
    QByteArray out;
    for (qsizetype i = 0; i < lines.size() && out.size() <= ConsoleBuffer::capacity; ++i) {
        out += lines.view(i);
        out += "\r\n";
    }
    return out;
}

QByteArray quoted(const QByteArray &text)
{
    return '"' + text + '"';
}

void appendSteps(QByteArray &out, const QByteArray &heading, const QList<ConsoleStep> &steps)
{
    out += heading + '\n';
    for (const ConsoleStep &step : steps)
        out += ConsoleModel::format(step) + '\n';
}

} // namespace

KeyMapWindow::KeyMapWindow(const ScriptModel &script) : QWidget(nullptr, Qt::Window), m_script(script)
{
    setObjectName(u"frmKeyMap"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Key Map"_s);

    m_quakeNames = ConsoleNames::ofGame(Dialect::Quake, &m_quakeNamesError);
    m_quake2Names = ConsoleNames::ofGame(Dialect::Quake2, &m_quake2NamesError);

    // Made in the order of the Tab chain.
    auto *lblGame = new QLabel(u"&Game:"_s, this);
    m_cmbGame = new QComboBox(this);
    lblGame->setObjectName(u"lblGame"_s);
    lblGame->setBuddy(m_cmbGame);
    m_cmbGame->setObjectName(u"cmbGame"_s);
    m_cmbGame->addItem(u"Quake"_s, int(CheckGame::Quake));
    m_cmbGame->addItem(u"Quake 2"_s, int(CheckGame::Quake2));

    m_keyboard = new QWidget(this);
    m_keyboard->setObjectName(u"picKeyboard"_s);
    buildKeyboard(m_keyboard);

    auto *cmdPress = new QPushButton(u"&Press"_s, this);
    cmdPress->setObjectName(u"cmdPress"_s);
    cmdPress->setToolTip(u"Press and release the chosen key (Enter or Space on a key)"_s);
    auto *cmdReset = new QPushButton(u"&Reset"_s, this);
    cmdReset->setObjectName(u"cmdReset"_s);
    cmdReset->setToolTip(u"Run the list afresh, as if no key had been pressed"_s);
    // A click on them leaves the focus on the chosen key.
    cmdPress->setFocusPolicy(Qt::TabFocus);
    cmdReset->setFocusPolicy(Qt::TabFocus);
    m_txtSteps = new QPlainTextEdit(this);
    m_txtSteps->setObjectName(u"txtSteps"_s);
    m_txtSteps->setReadOnly(true);
    m_txtSteps->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtSteps->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_txtSteps->setAccessibleName(u"What the chosen key runs"_s);
    m_txtSteps->setMinimumHeight(QFontMetrics(m_txtSteps->font()).lineSpacing() * 12);
    m_txtSteps->viewport()->installEventFilter(this);
    m_lblState = new QLabel(this);
    m_lblState->setObjectName(u"lblState"_s);
    m_lblState->setWordWrap(true);
    auto *cmdClose = new QPushButton(u"Close"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);

    auto *top = new QHBoxLayout;
    top->addWidget(lblGame);
    top->addWidget(m_cmbGame);
    top->addStretch();
    top->addWidget(cmdPress);
    top->addWidget(cmdReset);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_lblState, 1);
    bottom->addWidget(cmdClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_keyboard, 0, Qt::AlignLeft);
    layout->addWidget(m_txtSteps, 1);
    layout->addLayout(bottom);

    connect(m_cmbGame, &QComboBox::currentIndexChanged, this, &KeyMapWindow::reset);
    connect(cmdPress, &QPushButton::clicked, this, &KeyMapWindow::pressChosen);
    connect(cmdReset, &QPushButton::clicked, this, &KeyMapWindow::reset);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    m_rerun.setSingleShot(true);
    m_rerun.setInterval(rerunDelayMs);
    connect(&m_rerun, &QTimer::timeout, this, &KeyMapWindow::reset);
    const auto later = [this] { m_rerun.start(); };
    connect(&m_script, &QAbstractItemModel::rowsInserted, this, later);
    connect(&m_script, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&m_script, &QAbstractItemModel::rowsMoved, this, later);
    connect(&m_script, &QAbstractItemModel::dataChanged, this, later);
    connect(&m_script, &QAbstractItemModel::modelReset, this, later);
    connect(&m_script, &QAbstractItemModel::layoutChanged, this, later);

    reset();
    choose(m_caps.front().widget);
    m_caps.front().widget->setFocus();
    resize(sizeHint());
}

KeyMapWindow::~KeyMapWindow() = default;

bool KeyMapWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_txtSteps->viewport() || event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QTextCursor at = m_txtSteps->cursorForPosition(help->pos());
    if (!m_nameHelp)
        m_nameHelp = std::make_unique<NameHelp>(GameProfiles::directory());
    const QString text = m_nameHelp->describeWordAt(at.block().text().toLatin1(), at.positionInBlock(), game());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, m_txtSteps->viewport());
    return true;
}

void KeyMapWindow::buildKeyboard(QWidget *keyboard)
{
    const QString keys = u"Arrow keys move between the keys; Enter or Space presses the chosen one. A double click "
                         "puts its name into the main window's key box."_s;
    const auto add = [&](const KeyPlace &place) {
        auto *cap =
            new KeyCap(QByteArray(place.name), place.label ? QString::fromLatin1(place.label) : QString(), keyboard);
        cap->setObjectName(u"key_"_s + QLatin1StringView(place.name));
        cap->setWhatsThis(keys);
        connect(cap, &KeyCap::focused, this, [this, cap] { choose(cap); });
        connect(cap, &KeyCap::clicked, this, [this, cap] { choose(cap); });
        connect(cap, &KeyCap::pressRequested, this, &KeyMapWindow::pressChosen);
        connect(cap, &KeyCap::nameRequested, this, [this, cap] { emit keyChosen(cap->name()); });
        connect(cap, &KeyCap::stepRequested, this, [this, cap](int dx, int dy) { step(cap, dx, dy); });
        m_caps.push_back({cap, -1});
    };
    for (const KeyPlace &place : keyboardPlaces)
        add(place);
    for (const KeyPlace &place : mousePlaces)
        add(place);
}

// The caps of the keys the game has, where they stand for it.
void KeyMapWindow::placeKeys()
{
    const Dialect dialect = dialectOf(game());
    const int mouseLeft = dialect == Dialect::Quake2 ? mouseLeftWithKeypad : mouseLeftWithoutKeypad;
    const auto place = [&](Cap &cap, const KeyPlace &where, int left) {
        const std::optional<int> key = ConsoleModel::keyNumber(where.name, dialect);
        cap.key = key.value_or(-1);
        cap.widget->setGeometry((left + where.x) * quarter, where.y * quarter, where.width * quarter,
                                where.height * quarter);
        cap.widget->setVisible(key.has_value());
    };
    size_t i = 0;
    for (const KeyPlace &where : keyboardPlaces)
        place(m_caps[i++], where, 0);
    for (const KeyPlace &where : mousePlaces)
        place(m_caps[i++], where, mouseLeft);
    m_keyboard->setFixedSize((mouseLeft + mouseWidth) * quarter, keyboardHeight * quarter);
}

CheckGame KeyMapWindow::game() const
{
    return CheckGame(m_cmbGame->currentData().toInt());
}

QByteArray KeyMapWindow::chosenKey() const
{
    return m_chosen ? m_chosen->name() : QByteArray();
}

const KeyMapWindow::Cap *KeyMapWindow::chosen() const
{
    for (const Cap &cap : m_caps) {
        if (cap.widget == m_chosen)
            return &cap;
    }
    return nullptr;
}

void KeyMapWindow::reset()
{
    m_rerun.stop();
    const CheckGame g = game();
    m_console = std::make_unique<ConsoleModel>(dialectOf(g), g == CheckGame::Quake ? m_quakeNames : m_quake2Names);
    const QList<ConsoleStep> steps = m_console->exec(listBytes(m_script.lines()));
    m_listEnd = !steps.isEmpty() && steps.constLast().kind != ConsoleStep::Kind::Command
                    ? QString::fromLatin1(steps.constLast().text)
                    : QString();
    m_presses = 0;

    placeKeys();
    const KeyMapBindings::Uses uses = KeyMapBindings::read(m_script.lines(), g);
    for (const Cap &cap : m_caps)
        cap.widget->setUse(cap.key >= 0 ? uses.at(size_t(cap.key)) : KeyMapBindings::Use::Free);
    // A key this game lacks cannot stay chosen.
    if (m_chosen && m_chosen->isHidden()) {
        const bool hadFocus = m_chosen->hasFocus();
        choose(m_caps.front().widget);
        if (hadFocus)
            m_chosen->setFocus();
    }
    showChosen();
    showState();
}

void KeyMapWindow::pressChosen()
{
    const Cap *cap = chosen();
    if (!cap || cap->key < 0)
        return;
    m_console->press(cap->key);
    m_console->release(cap->key);
    ++m_presses;
    showChosen();
    showState();
}

// The chosen key is the one stop of the Tab chain in the keyboard.
void KeyMapWindow::choose(KeyCap *cap)
{
    if (cap == m_chosen)
        return;
    if (m_chosen)
        m_chosen->setFocusPolicy(Qt::ClickFocus);
    m_chosen = cap;
    m_chosen->setFocusPolicy(Qt::StrongFocus);
    showChosen();
}

// The nearest key that way: in the same row for a step sideways, in the nearest row for a step
// up or down.
void KeyMapWindow::step(const KeyCap *from, int dx, int dy)
{
    const QRect a = from->geometry();
    KeyCap *best = nullptr;
    int bestScore = INT_MAX;
    for (const Cap &cap : m_caps) {
        const QRect b = cap.widget->geometry();
        if (cap.key < 0 || cap.widget == from)
            continue;
        const QPoint d = b.center() - a.center();
        const int along = dx != 0 ? d.x() * dx : d.y() * dy;
        const bool sameRow = b.bottom() >= a.top() && b.top() <= a.bottom();
        if (along <= 0 || (dx != 0 && !sameRow))
            continue;
        const int score = dx != 0 ? along : along * 1000 + std::abs(d.x());
        if (score < bestScore) {
            bestScore = score;
            best = cap.widget;
        }
    }
    if (best)
        best->setFocus();
}

// The chosen key's binding as the game shows it, and what its next press and release run.
void KeyMapWindow::showChosen()
{
    const Cap *cap = chosen();
    if (!cap || !m_console || cap->key < 0) {
        m_txtSteps->clear();
        return;
    }
    const QByteArray &name = cap->widget->name();
    const std::optional<QByteArray> bound = m_console->binding(cap->key);
    QByteArray text = quoted(name) + (bound ? " = " + quoted(*bound) : QByteArray(" is not bound")) + '\n';
    // Shown on a copy: only a press changes the game.
    ConsoleModel next = *m_console;
    appendSteps(text, "press " + name, next.press(cap->key));
    appendSteps(text, "release " + name, next.release(cap->key));
    m_txtSteps->setPlainText(QString::fromLatin1(text));
}

void KeyMapWindow::showState()
{
    const QString list = m_listEnd.isEmpty() ? u"The list has run"_s : u"The list ran until: "_s + m_listEnd;
    const QString presses = m_presses == 0   ? u"no key pressed since."_s
                            : m_presses == 1 ? u"1 key press since."_s
                                             : QString::number(m_presses) + u" key presses since."_s;
    const QString &error = game() == CheckGame::Quake ? m_quakeNamesError : m_quake2NamesError;
    m_lblState->setText(list + u"; "_s + presses +
                        (error.isEmpty() ? QString() : u" Only the console's own commands are known: "_s + error));
}

} // namespace vbu
