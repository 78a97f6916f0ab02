#include "checks/CheckWindow.h"

#include "ui/FocusHighlight.h"
#include "ui/WindowFrame.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CheckWindow::CheckWindow(QWidget* parent, const QString& istruzione, int capacita) : QDialog(parent)
{
    auto* Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 374, 140);

    lblInfo = new QLabel(istruzione, this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setFont(verdana(8));
    lblInfo->setGeometry(24, 20, 344, 16);
    Label1 = new QLabel(QStringLiteral("e premere il pulsante di controllo."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(verdana(8));
    Label1->setGeometry(24, 38, 344, 16);

    txtCodice = new QLineEdit(this);
    txtCodice->setObjectName(QStringLiteral("txtCodice"));
    txtCodice->setAccessibleName(istruzione);
    txtCodice->setMaxLength(capacita);
    QFont grande(QStringLiteral("Verdana"));
    grande.setPixelSize(21);
    txtCodice->setFont(grande);
    txtCodice->setGeometry(24, 70, 344, 34);

    m_focus = new FocusHighlight(this);
    m_focus->watch(txtCodice);
}

QPushButton* CheckWindow::creaPulsante(const QString& nome, const QString& testo, int larghezza)
{
    auto* pulsante = new QPushButton(testo, this);
    pulsante->setObjectName(nome);
    pulsante->setFont(verdana(8));
    pulsante->setCursor(Qt::PointingHandCursor);
    // Enter in the code box runs the check only at full length, so no button may take Enter for itself.
    pulsante->setAutoDefault(false);
    pulsante->setDefault(false);
    pulsante->setGeometry((width() - larghezza) / 2, 160, larghezza, 30);
    setTabOrder(txtCodice, pulsante);
    return pulsante;
}

void CheckWindow::keyPressEvent(QKeyEvent* event)
{
    // There is no cancel button: the window ends with a result or with its close box, never with Esc.
    if (event->matches(QKeySequence::Cancel)) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
