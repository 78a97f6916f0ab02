#include "app/Startup.h"

#include "app/Forms.h"
#include "app/TfrmCarnetto.h"
#include "cards/TfrmContatti.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <QUrl>

void installItalianTranslation(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

void apriFileVCard(const QString& percorso)
{
    // "Open with" may hand over a file:// address instead of a path.
    QString file = percorso;
    if (file.startsWith(QLatin1String("file:")))
        file = QUrl(file).toLocalFile();
    file = QFileInfo(QDir::current(), file).absoluteFilePath();
    TfrmContatti* contatti = frmContatti();
    contatti->show();
    contatti->raise();
    contatti->activateWindow();
    frmCarnetto()->hide();
    contatti->importaVCard(file);
}

void mostraPrimaFinestra(const QString& fileDaAprire)
{
    if (fileDaAprire.isEmpty())
        frmCarnetto()->show();
    else
        apriFileVCard(fileDaAprire);
}

int runCarnetto(QApplication& app, const QString& fileDaAprire)
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
    mostraPrimaFinestra(fileDaAprire);
    return QApplication::exec();
}
