#include "checks/TfrmCodFisc.h"

#include "checks/ControllaCodFisc.h"
#include "checks/MessaggiControlli.h"
#include "ui/CaretText.h"
#include "ui/KeyPressFilter.h"
#include "ui/MessageService.h"
#include "ui/WindowFrame.h"

#include <QLineEdit>
#include <QPushButton>

TfrmCodFisc::TfrmCodFisc(QWidget* parent)
    : CheckWindow(parent, QStringLiteral("Immettere il codice fiscale nella casella sottostante"), kLunghezzaCodFisc)
{
    setObjectName(QStringLiteral("frmCodFisc"));
    applyFrame(this, {.caption = QStringLiteral(" Controllo codice fiscale"),
                      .clientSize = QSize(392, 208),
                      .background = WindowFrame::silver()});
    cmdCodFisc = createButton(QStringLiteral("cmdCodFisc"), QStringLiteral("Controlla"),
                              QStringLiteral("Controlla codice fiscale"), 110);

    connect(txtCodice, &QLineEdit::textChanged, this, &TfrmCodFisc::txtCodiceChange);
    new KeyPressFilter(txtCodice, [this](QChar carattere) { return txtCodiceKeyPress(carattere); });
    connect(cmdCodFisc, &QPushButton::clicked, this, &TfrmCodFisc::cmdCodFiscClick);
}

void TfrmCodFisc::txtCodiceChange()
{
    replaceTextKeepingCaret(txtCodice, MaiuscoleCodFisc(txtCodice->text()));
    cmdCodFisc->setEnabled(txtCodice->text().size() >= kLunghezzaCodFisc);
}

bool TfrmCodFisc::txtCodiceKeyPress(QChar carattere)
{
    if (carattere == QChar(13) && txtCodice->text().size() == kLunghezzaCodFisc)
        cmdCodFiscClick();
    return true;
}

void TfrmCodFisc::cmdCodFiscClick()
{
    const QString codice = MaiuscoleCodFisc(txtCodice->text());
    const std::optional<bool> corretto = ControllaCodFisc(codice);
    if (!corretto) {
        MessageService::current().showMessage(this, messaggioCodFiscLunghezza());
        txtCodice->setFocus(Qt::OtherFocusReason);
        return;
    }
    MessageService::current().showMessage(this, *corretto ? messaggioCodFiscCorretto() : messaggioCodFiscErrato());
    close();
}
