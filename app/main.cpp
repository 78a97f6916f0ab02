#include "app/RigaDiComando.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The commands for scripts run before any GUI application object exists, so they need no display.
    if (const int esito = avviaRigaDiComando(argc, argv); esito >= 0)
        return esito;
    QApplication app(argc, argv);
    // Qt has taken its own options out of the arguments by now; what is left may name a file to open.
    return runCarnetto(app, leggiRigaDiComando(QApplication::arguments().mid(1)).file);
}
