#pragma once

class QLabel;
class QWidget;

// The hint line "panInfo" docked along the bottom edge of a window: 26 pixels high, sunken, text on the left.
QLabel* createHintLine(QWidget* window);
