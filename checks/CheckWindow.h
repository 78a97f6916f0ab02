#pragma once

#include <QDialog>

class FocusHighlight;
class QLabel;
class QLineEdit;
class QPushButton;

// What the two check windows share: a framed two-line instruction, a large code box that turns yellow with
// the focus, and one button that runs the check. Neither has a cancel button: Esc closes neither, and Enter
// clicks the button only when the button has the focus (the code box has its own rule for Enter).
class CheckWindow : public QDialog
{
    Q_OBJECT

public:
    QLineEdit* txtCodice;
    QLabel* lblInfo;
    QLabel* Label1;

protected:
    CheckWindow(QWidget* parent, const QString& instruction, int capacity);

    // The window's check button, laid out under the code box.
    QPushButton* createButton(const QString& objectName, const QString& text, const QString& accessibleName, int width);

    FocusHighlight* m_focus;
};
