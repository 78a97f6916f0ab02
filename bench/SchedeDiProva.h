#pragma once

// The cards every benchmark writes: typical lengths, accented letters and the euro sign.
#include "archive/SchedaTesti.h"

inline TestiScheda testiDiProva(int n)
{
    TestiScheda testi;
    testi[Cognome] = QStringLiteral("Cognomè %1").arg(n);
    testi[Nome] = QStringLiteral("Nome %1").arg(n % 997);
    testi[Azienda] = QStringLiteral("Azienda S.p.A. %1").arg(n % 101);
    testi[Via] = QStringLiteral("Via Giuseppe Garibaldi, %1").arg(n % 300);
    testi[Citta] = QStringLiteral("Città %1").arg(n % 50);
    testi[Cap] = QStringLiteral("%1").arg(n % 100000, 5, 10, QLatin1Char('0'));
    testi[Tel] = QStringLiteral("06 %1").arg(n);
    testi[Email] = QStringLiteral("utente%1@esempio.it").arg(n);
    testi[Web] = QStringLiteral("http://www.esempio.it/%1").arg(n);
    testi[Note] = QStringLiteral("Note con € e àèéìòù, scheda %1").arg(n);
    return testi;
}

inline TSchedaContatto schedaDiProva(int n)
{
    TSchedaContatto scheda{};
    schedaDaTesti(scheda, testiDiProva(n));
    return scheda;
}
