#pragma once

#include <QIcon>

namespace vbu {

// The Command List tree's images: 1 a closed folder with a green outline, 2 the same folder
// with a red outline, 3 a command. Drawn here, 16 by 16.
class CommandImages final
{
public:
    // The picture for an image index; a null icon for any other index.
    static QIcon icon(int image);
};

} // namespace vbu
