#include "checks/TfrmIva.h"

#include "checks/ControllaPartitaIva.h"
#include "checks/MessaggiControlli.h"
#include "checks/UfficiIva.h"
#include "ui/HelpContext.h"
#include "ui/KeyPressFilter.h"
#include "ui/MessageService.h"
#include "ui/WindowFrame.h"

#include <QLineEdit>
#include <QPushButton>

TfrmIva::TfrmIva(QWidget* parent)
    : CheckWindow(parent, QStringLiteral("Immettere la partita IVA nella casella sottostante"), kLunghezzaPartitaIva)
{
    setObjectName(QStringLiteral("frmIva"));
    applyFrame(this, {.caption = QStringLiteral(" Controllo partita IVA"),
                      .clientSize = QSize(390, 206),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::Sizeable,
                      .helpContext = HelpContext::kPartitaIva});
    cmdPartitaIva = createButton(QStringLiteral("cmdPartitaIva"), QStringLiteral("Controlla Partita IVA"),
                                 QStringLiteral("Controlla partita IVA"), 170);
    // Digits only: an input method has nothing to compose here, and what one commits is filtered anyway.
    txtCodice->setInputMethodHints(Qt::ImhDigitsOnly);

    connect(txtCodice, &QLineEdit::textChanged, this, &TfrmIva::txtCodiceChange);
    new KeyPressFilter(txtCodice, [this](QChar carattere) { return txtCodiceKeyPress(carattere); });
    connect(cmdPartitaIva, &QPushButton::clicked, this, &TfrmIva::cmdPartitaIvaClick);
}

void TfrmIva::txtCodiceChange()
{
    cmdPartitaIva->setEnabled(txtCodice->text().size() >= kLunghezzaPartitaIva);
}

bool TfrmIva::txtCodiceKeyPress(QChar carattere)
{
    if (carattere == QChar(13) && txtCodice->text().size() == kLunghezzaPartitaIva) {
        cmdPartitaIvaClick();
        return false;
    }
    if (carattereAmmessoPartitaIva(carattere))
        return true;
    MessageService::current().showMessage(this, messaggioCarattereNonValido());
    return false;
}

void TfrmIva::cmdPartitaIvaClick()
{
    const QString numero = txtCodice->text();
    if (numero.size() != kLunghezzaPartitaIva) {
        MessageService::current().showMessage(this, messaggioPartitaIvaLunghezza());
        return;
    }
    if (!ControllaPartitaIva(numero)) {
        MessageService::current().showMessage(this, messaggioPartitaIvaErrata());
        close();
        return;
    }
    MessageService::current().showMessage(this, messaggioPartitaIvaCorretta(UfficioIva(codiceUfficioIva(numero))));
    close();
}
