#pragma once

class QKeyEvent;
class QWidget;

// The keys every window of the program handles alike. Enter on the push button that has the focus clicks
// it, as Space does. No window has a cancel button, so Esc closes none of them (a QDialog would otherwise
// take Esc for a rejection). Enter anywhere else is left to the window and its edit boxes: a code box has
// its own rule for it. Returns true when the key was taken; a window calls it first from keyPressEvent().
bool handleWindowKey(QWidget* window, QKeyEvent* event);
