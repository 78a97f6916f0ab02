#pragma once

#include <QDialog>

class FocusHighlight;
class QLabel;
class QLineEdit;
class QPushButton;

// What the two check windows share: a framed two-line instruction, a large code box that turns yellow with
// the focus, and one button that runs the check.
class CheckWindow : public QDialog
{
    Q_OBJECT

public:
    QLineEdit* txtCodice;
    QLabel* lblInfo;
    QLabel* Label1;

protected:
    CheckWindow(QWidget* parent, const QString& istruzione, int capacita);

    // The window's check button, laid out under the code box.
    QPushButton* creaPulsante(const QString& nome, const QString& testo, int larghezza);

    void keyPressEvent(QKeyEvent* event) override;

    FocusHighlight* m_focus;
};
