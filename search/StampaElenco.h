#pragma once

#include "ui/PrinterService.h"

#include <QString>

class ListaContatti;

// Prints the list on `stampante` as impaginaElenco() lays it out, in black Courier New. Each text's top-left
// corner goes where the layout puts it. False, with the printer's reason in `errore`, when the printer refused
// the job or a page.
bool stampaElenco(PrinterService::Printer& stampante, const ListaContatti& lista, const QString& rigaData,
                  QString* errore);
