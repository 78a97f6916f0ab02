#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class GrigliaEsportazione;
class QIODevice;

// The grid as comma-separated text: one line per row, row 0 first, the 17 cells of each parted by commas and the
// line ended by CR LF; Windows-1252 bytes. A cell holding a blank, a control character, a comma or a double quote
// is put between double quotes, its own double quotes doubled; every other cell is written as it is.
namespace EsportazioneCsv {

QByteArray testo(const GrigliaEsportazione& griglia);

// How one cell was written.
struct Forma
{
    qsizetype byte = 0;
    bool virgolettata = false;
    bool raddoppiata = false; // it held double quotes, written twice
};
// Writes the cell's bare or quoted form at `out`, which has room for 2 * cella.size() + 2 bytes.
Forma scriviCella(QByteArrayView cella, char* out);

// Writes the text in one piece. False, with the device's error text in `errore`, when not every byte landed.
bool scrivi(const GrigliaEsportazione& griglia, QIODevice& dispositivo, QString* errore = nullptr);

// Writes the file through a temporary file beside it that takes its name only once complete, so an existing file
// of that name holds either its old or its new content. False with the system's error text.
bool salva(const GrigliaEsportazione& griglia, const QString& percorso, QString* errore = nullptr);

// The chosen path with ".csv" appended unless the text from its last dot on is exactly ".csv".
QString conEstensione(const QString& percorso);

} // namespace EsportazioneCsv
