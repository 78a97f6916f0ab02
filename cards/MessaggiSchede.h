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
