#include "app/Startup.h"

#include "app/Forms.h"
#include "app/TfrmCarnetto.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installItalianTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

int runCarnetto(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Carnetto"));
    QApplication::setApplicationVersion(QStringLiteral("4.0"));
    // The window's class (WM_CLASS "Carnetto", from the executable's and the application's name) and its
    // Wayland app id both match the launcher, Carnetto.desktop with StartupWMClass=Carnetto.
    QApplication::setDesktopFileName(QStringLiteral("Carnetto"));
    installItalianTranslation(app);
    // The main menu ends the program itself when it closes; hidden shared windows never do.
    QApplication::setQuitOnLastWindowClosed(false);

    Forms forms(QApplication::applicationDirPath());
    frmCarnetto()->show();
    return QApplication::exec();
}
