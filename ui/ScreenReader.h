#pragma once

class QWidget;

// Leaves a control out of what screen readers are shown: a picture that only decorates, a panel of such
// pictures, or the second control of a choice that another control already names (a caption picture that acts
// as its picture does). It still draws and acts for the mouse; its parent's accessible children skip it. The
// parent must be a plain widget, a dialog, a frame or a group box, as the program's windows and panels are.
void hideFromScreenReaders(QWidget* control);
