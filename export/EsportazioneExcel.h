#pragma once

#include <QString>
#include <QVariantList>

class GrigliaEsportazione;

// Hands the grid to the spreadsheet program through automation: a new workbook whose first sheet, "Archivio
// contatti", holds the grid as text from A1, the captions B1 to Q1 in bold, the columns fitted to their contents,
// and the program left visible. Throws AutomationError at the first request that fails; whatever the program
// had received stays there.
namespace EsportazioneExcel {

inline constexpr const char* kProgramId = "Excel.Application";

// Rows 1 to R, columns 1 to 17: every grid cell trimmed, as text.
QVariantList valori(const GrigliaEsportazione& griglia);
// "A1" to the cell of the last row and column, e.g. "Q4".
QString cellaFinale(const GrigliaEsportazione& griglia);

void esporta(const GrigliaEsportazione& griglia);

} // namespace EsportazioneExcel
