#include "app/Startup.h"

#include "app/CartellaProgramma.h"
#include "app/Forms.h"
#include "app/IstanzaUnica.h"
#include "app/TfrmCarnetto.h"
#include "cards/TfrmContatti.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

void installItalianTranslation(QApplication& app, const QString& cartella)
{
    auto* translator = new QTranslator(&app);
    const QString nome = QStringLiteral("qtbase_it");
    // Qt finds the folder's qt.conf only when the kernel started the program itself, not through the loader.
    const QString traduzioni = percorsiQt(cartella).traduzioni;
    if ((!traduzioni.isEmpty() && translator->load(nome, traduzioni)) ||
        translator->load(nome, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

void nessunBusDiSessioneAvviato()
{
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    // Where systemd keeps the user's bus, which the library finds by itself.
    const QByteArray cartella = qgetenv("XDG_RUNTIME_DIR");
    struct stat info = {};
    if (!cartella.isEmpty() && ::stat(QByteArray(cartella + "/bus").constData(), &info) == 0 && S_ISSOCK(info.st_mode))
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
#endif
}

QString percorsoDaAprire(const QString& argomento)
{
    // "Open with" may hand over a file:// address instead of a path.
    QString file = argomento;
    if (file.startsWith(QLatin1String("file:")))
        file = QUrl(file).toLocalFile();
    return QFileInfo(QDir::current(), file).absoluteFilePath();
}

void apriFileVCard(const QString& percorso)
{
    const QString file = percorsoDaAprire(percorso);
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

namespace {

// Another start of the program for this folder: the window the person works in comes to the front, and a file
// it was given is imported as soon as no other window waits for an answer.
void richiestaDaUnAltroAvvio(const QString& file)
{
    QWidget* davanti = QApplication::activeModalWidget();
    if (!davanti)
        davanti = frmContatti()->isVisible() ? static_cast<QWidget*>(frmContatti()) : frmCarnetto();
    if (davanti->isMinimized())
        davanti->showNormal();
    davanti->raise();
    davanti->activateWindow();
    if (file.isEmpty())
        return;
    if (!QApplication::activeModalWidget()) {
        apriFileVCard(file);
        return;
    }
    auto* attesa = new QTimer(qApp);
    QObject::connect(attesa, &QTimer::timeout, attesa, [attesa, file] {
        if (QApplication::activeModalWidget())
            return;
        attesa->deleteLater();
        apriFileVCard(file);
    });
    attesa->start(250);
}

} // namespace

int runCarnetto(QApplication& app, const QString& cartella, const QString& fileDaAprire)
{
    QApplication::setApplicationName(QStringLiteral("Carnetto"));
    QApplication::setApplicationVersion(QStringLiteral("4.0"));
    // The window's class (WM_CLASS "Carnetto", from the executable's and the application's name) and its
    // Wayland app id both match the launcher, Carnetto.desktop with StartupWMClass=Carnetto.
    QApplication::setDesktopFileName(QStringLiteral("Carnetto"));
    installItalianTranslation(app, cartella);
    // The main menu ends the program itself when it closes; hidden shared windows never do.
    QApplication::setQuitOnLastWindowClosed(false);

    IstanzaUnica istanza(cartella);
    if (istanza.avvia(fileDaAprire.isEmpty() ? QString() : percorsoDaAprire(fileDaAprire)) ==
        IstanzaUnica::Avvio::Consegnato)
        return 0;

    Forms forms(cartella);
    QObject::connect(&istanza, &IstanzaUnica::richiesta, &richiestaDaUnAltroAvvio);
    mostraPrimaFinestra(fileDaAprire);
    return QApplication::exec();
}
