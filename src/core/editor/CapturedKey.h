#pragma once

#include <QString>

namespace vbu {

// The game's name for a key, mouse button or wheel turn that the player pressed, so that the
// key box can be filled by pressing instead of typing.
class CapturedKey final
{
public:
    // qtKey and modifiers as a key event gives them; text is the event's text.
    // Empty when the game has no name for the key.
    static QString fromKey(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text);
    static QString fromMouseButton(Qt::MouseButton button);
    // delta: the wheel's vertical turn; empty for none.
    static QString fromWheel(int delta);
};

} // namespace vbu
