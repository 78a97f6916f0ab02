#include "app/CartellaProgramma.h"
#include "app/RigaDiComando.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The program's folder, also when the system's loader started it (Qt would take the loader's); a portable
    // folder's plugins are Qt's from here on, for the commands and the windows alike.
    const QString cartella = cartellaProgramma(argv[0]);
    usaPluginDellaCartella(cartella);
    nessunBusDiSessioneAvviato();
    // The commands for scripts run before any GUI application object exists, so they need no display.
    if (const int esito = avviaRigaDiComando(argc, argv, cartella); esito >= 0)
        return esito;
    QApplication app(argc, argv);
    // Qt has taken its own options out of the arguments by now; what is left may name a file to open.
    return runCarnetto(app, cartella, leggiRigaDiComando(QApplication::arguments().mid(1)).file);
}
