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
    installItalianTranslation(app);
    // The main menu ends the program itself when it closes; hidden shared windows never do.
    QApplication::setQuitOnLastWindowClosed(false);

    Forms forms(QApplication::applicationDirPath());
    frmCarnetto()->show();
    return QApplication::exec();
}
