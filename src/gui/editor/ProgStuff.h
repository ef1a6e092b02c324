#pragma once

namespace vbu {

class MainWindow;

// The routines that work on the main window's list and composition controls.
namespace ProgStuff {

// Composes type, key and binding text into a line at the end of the list.
void AddBinding(MainWindow &w);
// The selected line onto the clipboard, then out of the list.
void ListCutClip(MainWindow &w);
// The selected line onto the clipboard.
void ListCopyClip(MainWindow &w);
// The clipboard's text as one line, just above the selected line.
void ListPasteClip(MainWindow &w);

} // namespace ProgStuff
} // namespace vbu
