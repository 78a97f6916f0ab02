#include "app/RigaDiComando.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The commands for scripts run before any GUI application object exists, so they need no display.
    if (const int esito = avviaRigaDiComando(argc, argv); esito >= 0)
        return esito;
    QApplication app(argc, argv);
    return runCarnetto(app);
}
