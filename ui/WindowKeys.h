#pragma once

class QWidget;

// The keys every window of the program handles alike; applyFrame() gives them to each window, so no window
// handles them itself. Esc closes no window: the windows offer their own ways of closing (a button, an icon, a
// click, the close box and the window manager's close key), and a QDialog would otherwise take Esc for a
// rejection. Enter on the push button that has the focus clicks it, as Space does. Enter anywhere else is
// left to the window and its edit boxes: a code box has its own rule for it.
void applyWindowKeys(QWidget* window);
