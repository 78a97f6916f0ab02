#include "checks/TfrmIva.h"

#include "checks/ControllaPartitaIva.h"
#include "checks/MessaggiControlli.h"
#include "checks/UfficiIva.h"
#include "ui/KeyPressFilter.h"
#include "ui/MessageService.h"
#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

#include <QLineEdit>
#include <QPushButton>

TfrmIva::TfrmIva(QWidget* parent)
    : CheckWindow(parent, QStringLiteral("Immettere la partita IVA nella casella sottostante"), 11)
{
    setObjectName(QStringLiteral("frmIva"));
    applyFrame(this, {.caption = QStringLiteral(" Controllo partita IVA"),
                      .clientSize = QSize(390, 206),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::Sizeable,
                      .helpContext = HelpContext::kPartitaIva});
    cmdPartitaIva = creaPulsante(QStringLiteral("cmdPartitaIva"), QStringLiteral("Controlla Partita IVA"), 170);

    connect(txtCodice, &QLineEdit::textChanged, this, &TfrmIva::txtCodiceChange);
    new KeyPressFilter(txtCodice, [this](QChar key) { return txtCodiceKeyPress(key); });
    connect(cmdPartitaIva, &QPushButton::clicked, this, &TfrmIva::cmdPartitaIvaClick);
}

void TfrmIva::txtCodiceChange()
{
    cmdPartitaIva->setEnabled(txtCodice->text().size() >= 11);
}

bool TfrmIva::txtCodiceKeyPress(QChar key)
{
    if (key == QChar(13) && txtCodice->text().size() == 11) {
        cmdPartitaIvaClick();
        return false;
    }
    if (key == QChar(8) || key == QChar(13) || (key >= u'0' && key <= u'9'))
        return true;
    MessageService::current().showMessage(this, messaggioCarattereNonValido());
    return false;
}

void TfrmIva::cmdPartitaIvaClick()
{
    const QString numero = txtCodice->text();
    if (numero.size() != 11) {
        MessageService::current().showMessage(this, messaggioPartitaIvaLunghezza());
        return;
    }
    if (!ControllaPartitaIva(numero)) {
        MessageService::current().showMessage(this, messaggioPartitaIvaErrata());
        close();
        return;
    }
    MessageService::current().showMessage(this, messaggioPartitaIvaCorretta(UfficioIva(QStringView(numero).mid(7, 3))));
    close();
}
