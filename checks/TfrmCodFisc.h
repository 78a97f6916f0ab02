#pragma once

#include "checks/CheckWindow.h"

// The fiscal-code check window. The card window opens a fresh one for each check.
class TfrmCodFisc : public CheckWindow
{
    Q_OBJECT

public:
    explicit TfrmCodFisc(QWidget* parent = nullptr);

    QPushButton* cmdCodFisc;

    void txtCodiceChange();
    bool txtCodiceKeyPress(QChar carattere);
    void cmdCodFiscClick();
};
