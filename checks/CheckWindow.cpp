#include "checks/CheckWindow.h"

#include "ui/FocusHighlight.h"
#include "ui/WindowFrame.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CheckWindow::CheckWindow(QWidget* parent, const QString& instruction, int capacity) : QDialog(parent)
{
    auto* Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 374, 140);

    lblInfo = new QLabel(instruction, this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setFont(verdana(8));
    lblInfo->setGeometry(24, 20, 344, 16);
    Label1 = new QLabel(QStringLiteral("e premere il pulsante di controllo."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(verdana(8));
    Label1->setGeometry(24, 38, 344, 16);

    txtCodice = new QLineEdit(this);
    txtCodice->setObjectName(QStringLiteral("txtCodice"));
    txtCodice->setAccessibleName(instruction);
    txtCodice->setMaxLength(capacity);
    QFont large(QStringLiteral("Verdana"));
    large.setPixelSize(21);
    txtCodice->setFont(large);
    txtCodice->setGeometry(24, 70, 344, 34);

    m_focus = new FocusHighlight(this);
    m_focus->watch(txtCodice);
}

QPushButton* CheckWindow::createButton(const QString& objectName, const QString& text, const QString& accessibleName,
                                       int width)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAccessibleName(accessibleName);
    button->setFont(verdana(8));
    button->setCursor(Qt::PointingHandCursor);
    // Enter in the code box runs the check only at full length, so the button is never the dialog's default
    // button: it takes Enter only while it has the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry((this->width() - width) / 2, 160, width, 30);
    setTabOrder(txtCodice, button);
    return button;
}
