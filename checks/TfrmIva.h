#pragma once

#include "checks/CheckWindow.h"

// The VAT-number check window, which also names the office that issued the number.
class TfrmIva : public CheckWindow
{
    Q_OBJECT

public:
    explicit TfrmIva(QWidget* parent = nullptr);

    QPushButton* cmdPartitaIva;

    void txtCodiceChange();
    bool txtCodiceKeyPress(QChar carattere);
    void cmdPartitaIvaClick();
};
