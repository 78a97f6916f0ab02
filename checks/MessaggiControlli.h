#pragma once

#include <QString>

// The texts of the fiscal-code check window.
QString messaggioCodFiscLunghezza();
QString messaggioCodFiscCorretto();
QString messaggioCodFiscErrato();

// The texts of the VAT-number check window.
QString messaggioPartitaIvaLunghezza();
QString messaggioPartitaIvaErrata();
QString messaggioCarattereNonValido();

// An office code without an entry gives an empty name, so the text then ends in "del Comune di .".
QString messaggioPartitaIvaCorretta(const QString& ufficio);
