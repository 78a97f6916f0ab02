#pragma once

#include <QString>

// The texts of the card window.
QString messaggioNessunaScheda();
QString messaggioContenutoMinimo();
QString messaggioModificheSalvate();
QString messaggioContattoSalvato();
QString messaggioCancellazioneNonValida();

// The question before a deletion: its caption and its text.
QString titoloConfermaCancellazione();
QString domandaConfermaCancellazione();

// The card on screen was changed, moved or removed by another program since it was loaded; nothing was written.
QString messaggioSchedaCambiata();
