#include "app/CartellaProgramma.h"
#include "app/RigaDiComando.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Also right when the system's loader started the program, which Qt would take for it.
    const QString cartella = cartellaProgramma(argv[0]);
    // The commands for scripts run before any GUI application object exists, so they need no display.
    if (const int esito = avviaRigaDiComando(argc, argv, cartella); esito >= 0)
        return esito;
    usaPluginDellaCartella(cartella);
    QApplication app(argc, argv);
    // Qt has taken its own options out of the arguments by now; what is left may name a file to open.
    return runCarnetto(app, cartella, leggiRigaDiComando(QApplication::arguments().mid(1)).file);
}
