#include "app/RigaDiComando.h"

#include "archive/ArchiveFile.h"
#include "export/EsportazioneCsv.h"
#include "export/GrigliaEsportazione.h"
#include "sync/Sincronizzazione.h"
#include "vcard/ScambioVCard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <shellapi.h> // after windows.h
#define isatty _isatty
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace {

const QString kEsportaVCard = QStringLiteral("--esporta-vcard");
const QString kEsportaCsv = QStringLiteral("--esporta-csv");
const QString kImportaVCard = QStringLiteral("--importa-vcard");
const QString kSincronizza = QStringLiteral("--sincronizza");
const QString kCertificato = QStringLiteral("--certificato");

// Qt's own options, which the windowed program hands on to Qt; Qt takes them with one dash or two.
bool opzioneDiQt(const QString& argomento)
{
    static const QStringList kQt = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("reverse"),
        QStringLiteral("session"),         QStringLiteral("display"),
        QStringLiteral("geometry"),        QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("widgetcount"),
        QStringLiteral("qmljsdebugger"),   QStringLiteral("nograb"),
        QStringLiteral("dograb"),          QStringLiteral("sync"),
    };
    const QString nome = argomento.mid(2).section(QLatin1Char('='), 0, 0);
    return kQt.contains(nome);
}

QString uso(const QString& appDir)
{
    return QStringLiteral(
               "Uso: Carnetto [--esporta-vcard FILE | --esporta-csv FILE | --importa-vcard FILE |\n"
               "               --sincronizza [URL UTENTE] [--certificato SHA256] | --help]\n"
               "Senza opzioni apre la rubrica.\n"
               "  --esporta-vcard FILE   scrive tutte le schede dell'archivio in FILE come biglietti da visita "
               "vCard (.vcf)\n"
               "  --esporta-csv FILE     scrive tutte le schede in FILE come il file .CSV della vista \"Tutti\"\n"
               "  --importa-vcard FILE   aggiunge in fondo all'archivio i contatti del file vCard FILE\n"
               "  --sincronizza URL UTENTE  sincronizza l'archivio con la rubrica CardDAV all'indirizzo URL (la\n"
               "                         rubrica stessa, o il server se ne ha una sola); le volte successive basta\n"
               "                         --sincronizza. La password viene dalla variabile CARNETTO_PASSWORD o\n"
               "                         dall'input (mai nell'URL). Esce con 0, 1 se non riesce, 2 se il server ha\n"
               "                         più rubriche, 3 se restano conflitti o una domanda per la\n"
               "                         finestra\n"
               "  --certificato SHA256   dopo --sincronizza: accetta il certificato del server con questa impronta\n"
               "                         SHA-256 (quella che la sincronizzazione mostra quando lo rifiuta)\n"
               "  --help                 mostra questo aiuto\n"
               "L'archivio è \"%1\"; un FILE senza percorso completo parte dalla cartella corrente.\n")
        .arg(QDir::toNativeSeparators(ArchiveFile::archivePath(appDir)));
}

QString contatti(int n)
{
    return n == 1 ? QStringLiteral("1 contatto") : QStringLiteral("%1 contatti").arg(n);
}

QString nativo(const QString& percorso)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(percorso));
}

// The export window's "Tutti" CSV: the same grid fill and the same writer, so the bytes are the window's. A missing
// archive gives the grid that was never filled and is not created.
EsitoScambio scriviCsvTutti(const QString& appDir, QIODevice& out)
{
    EsitoScambio esito;
    GrigliaEsportazione griglia;
    if (QFileInfo::exists(ArchiveFile::archivePath(appDir)) &&
        griglia.riempi(appDir, GrigliaEsportazione::Vista::Tutti) == GrigliaEsportazione::Esito::Interrotta) {
        esito.tipo = EsitoScambio::ErroreArchivio;
        return esito;
    }
    QString errore;
    if (!EsportazioneCsv::scrivi(griglia, out, &errore)) {
        esito.tipo = EsitoScambio::ErroreScrittura;
        esito.dettaglio = errore;
        return esito;
    }
    esito.schede = std::max(griglia.righePiene() - 1, 0);
    return esito;
}

EsitoScambio esportaCsvTutti(const QString& appDir, const QString& percorso)
{
    return salvaFile(appDir, percorso, [&](QIODevice& out) { return scriviCsvTutti(appDir, out); });
}

// The password from standard input: on a terminal asked for, and not shown while typed.
QString leggiPassword(QTextStream& in, QTextStream& err, const QString& chi)
{
    const auto* file = qobject_cast<QFile*>(in.device());
    const bool terminale = file && file->handle() == 0 && isatty(0);
    if (!terminale)
        return in.readLine();
    err << QStringLiteral("Password per %1: ").arg(chi) << Qt::flush;
#ifdef Q_OS_WIN
    HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
    DWORD modo = 0;
    GetConsoleMode(console, &modo);
    SetConsoleMode(console, modo & ~ENABLE_ECHO_INPUT);
    const QString password = in.readLine();
    SetConsoleMode(console, modo);
#else
    termios prima{};
    const bool cambiato = tcgetattr(0, &prima) == 0;
    if (cambiato) {
        termios senzaEco = prima;
        senzaEco.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(0, TCSANOW, &senzaEco);
    }
    const QString password = in.readLine();
    if (cambiato)
        tcsetattr(0, TCSANOW, &prima);
#endif
    err << QLatin1Char('\n') << Qt::flush;
    return password;
}

// The synchronisation without a window: conflicts are left for the window, and a mass deletion is refused.
int sincronizza(const RigaDiComando& riga, const QString& appDir, QTextStream& out, QTextStream& err, QTextStream* in)
{
    const auto fallita = [&err](const QString& motivo, int stato = 1) {
        err << motivo << QLatin1Char('\n') << Qt::flush;
        return stato;
    };
    QString errore;
    std::optional<StatoSync> stato = StatoSync::leggi(appDir, &errore);
    if (!errore.isEmpty())
        return fallita(QStringLiteral("Attenzione: %1. Spostarlo in un'altra cartella e ripetere con %2 URL UTENTE: "
                                      "si ricomincia da capo, e i contatti uguali sui due lati vengono riconosciuti.")
                           .arg(errore, kSincronizza));
    if (riga.url.isEmpty() && !stato)
        return fallita(QStringLiteral("Questa cartella non è mai stata sincronizzata: indicare l'indirizzo della "
                                      "rubrica e l'utente (%1 URL UTENTE).")
                           .arg(kSincronizza));
    const QUrl url = QUrl::fromUserInput(riga.url);
    if (!riga.url.isEmpty() && !url.password().isEmpty())
        return fallita(QStringLiteral("L'indirizzo contiene una password: toglierla dall'indirizzo. La password "
                                      "viene dalla variabile CARNETTO_PASSWORD o dall'input, e non viene mai "
                                      "scritta."));
    const QString utente = riga.url.isEmpty() ? stato->utente : riga.utente;
    const QUrl dove = riga.url.isEmpty() ? stato->rubrica : url;
    QString password = qEnvironmentVariable("CARNETTO_PASSWORD");
    if (password.isNull() && in)
        password = leggiPassword(*in, err, utente + u'@' + dove.host());
    ClientCardDav client(utente, password);
    // The certificate named now, or the one accepted before for this address book.
    QByteArray certificato = riga.certificato.toLatin1();
    if (certificato.isEmpty() && stato && (riga.url.isEmpty() || stessaOrigine(stato->rubrica, url)))
        certificato = stato->certificato;
    client.accettaCertificato(certificato);
    const auto fallitaRete = [&](const QString& motivo) {
        if (client.certificatoRifiutato().isEmpty())
            return fallita(motivo);
        const QString comando = riga.url.isEmpty() ? kSincronizza : kSincronizza + u' ' + riga.url + u' ' + utente;
        return fallita(QStringLiteral("%1\nSe è davvero il certificato del proprio server, accettarlo con:\n"
                                      "  Carnetto %2 %3 %4")
                           .arg(motivo, comando, kCertificato, QString::fromLatin1(client.certificatoRifiutato())));
    };
    if (!riga.url.isEmpty()) {
        // Plain http to another computer only to the host:port the person allowed it in the window.
        const QString permesso = stato ? stato->httpPermessoPer : QString();
        client.permettiHttpPer(permesso);
        const QList<Rubrica> rubriche = client.scopri(senzaCredenziali(url), &errore);
        if (rubriche.isEmpty())
            return fallitaRete(errore);
        if (rubriche.size() > 1) {
            out << QStringLiteral("Il server ha %1 rubriche; indicare l'indirizzo di quella da sincronizzare:\n")
                       .arg(rubriche.size());
            for (const Rubrica& r : rubriche)
                out << QStringLiteral("  %1  %2\n").arg(r.url.toString(), r.nome);
            out << Qt::flush;
            return 2;
        }
        const Rubrica& r = rubriche.first();
        // The same address book as before keeps its state, however its address was written; another one starts
        // afresh, matched by content.
        if (!stato || !stessaRubrica(stato->rubrica, r.url))
            stato = StatoSync{senzaCredenziali(url).toString(),
                              r.url,
                              r.nome,
                              r.syncCollection,
                              utente,
                              hostPorta(r.url) == permesso ? permesso : QString(),
                              {},
                              {},
                              {}};
        stato->utente = utente;
    }
    // Kept with the state, so that the stick takes it to the next computer.
    stato->certificato = stato->rubrica.scheme() == u"https" ? client.certificatoAccettato() : QByteArray();
    client.permettiHttpPer(stato->httpPermessoPer);
    Sincronizzazione sincronizzazione(appDir, client, *stato);
    const RiepilogoSync riepilogo = sincronizzazione.esegui({});
    if (riepilogo.fermataAllaDomanda) {
        // A question only the window asks: nothing was changed.
        return fallita(QStringLiteral("%1\n%2 Sincronizzare dalla finestra per rispondere.")
                           .arg(riepilogo.errore, riepilogo.domanda),
                       3);
    }
    if (riepilogo.finita)
        out << riepilogo.testo() << QLatin1Char('\n') << Qt::flush;
    if (!riepilogo.riuscita()) {
        QString messaggio = riepilogo.errore;
        messaggio.remove(QLatin1Char('\r'));
        return fallitaRete(messaggio);
    }
    return riepilogo.conflittiLasciati > 0 ? 3 : 0;
}

} // namespace

RigaDiComando leggiRigaDiComando(const QStringList& argomenti_)
{
    const QStringList& argomenti = argomenti_;
    RigaDiComando riga;
    if (argomenti.isEmpty())
        return riga;
    const QString& primo = argomenti.first();
    if (primo == QLatin1String("--help") || primo == QLatin1String("-h") || primo == QLatin1String("-?")) {
        riga.azione = argomenti.size() == 1 ? RigaDiComando::Aiuto : RigaDiComando::Sbagliata;
        if (riga.azione == RigaDiComando::Sbagliata)
            riga.errore = QStringLiteral("Argomento in più dopo %1: %2").arg(primo, argomenti[1]);
        return riga;
    }
    // "--opzione FILE" or "--opzione=FILE".
    const QString opzione = primo.section(QLatin1Char('='), 0, 0);
    const bool conUguale = primo.contains(QLatin1Char('='));
    if (opzione == kSincronizza && !conUguale) {
        riga.azione = RigaDiComando::Sincronizza;
        QStringList argomenti = argomenti_;
        if (argomenti.size() >= 2 && argomenti[argomenti.size() - 2] == kCertificato) {
            riga.certificato = argomenti.last();
            argomenti.resize(argomenti.size() - 2);
        }
        if (argomenti.size() == 3) {
            riga.url = argomenti[1];
            riga.utente = argomenti[2];
        } else if (argomenti.size() != 1) {
            riga.azione = RigaDiComando::Sbagliata;
            riga.errore = QStringLiteral("%1 vuole l'indirizzo della rubrica e l'utente, o nulla").arg(kSincronizza);
        }
        return riga;
    }
    if (opzione == kEsportaVCard)
        riga.azione = RigaDiComando::EsportaVCard;
    else if (opzione == kEsportaCsv)
        riga.azione = RigaDiComando::EsportaCsv;
    else if (opzione == kImportaVCard)
        riga.azione = RigaDiComando::ImportaVCard;
    else if (primo.startsWith(QLatin1String("--")) && !opzioneDiQt(primo)) {
        riga.azione = RigaDiComando::Sbagliata;
        riga.errore = QStringLiteral("Opzione sconosciuta: %1").arg(primo);
        return riga;
    } else {
        // Qt's options, or the file the desktop's "Open with" hands over: the windows' business.
        if (argomenti.size() == 1 && !primo.startsWith(QLatin1Char('-')))
            riga.file = primo;
        return riga;
    }

    QStringList resto = argomenti.mid(1);
    if (conUguale)
        resto.prepend(primo.section(QLatin1Char('='), 1));
    if (resto.isEmpty() || resto.first().isEmpty()) {
        riga.azione = RigaDiComando::Sbagliata;
        riga.errore = QStringLiteral("Manca il nome del file dopo %1").arg(opzione);
    } else if (resto.size() > 1) {
        riga.azione = RigaDiComando::Sbagliata;
        riga.errore = QStringLiteral("Argomento in più dopo %1 %2: %3").arg(opzione, resto[0], resto[1]);
    } else {
        riga.file = resto.first();
    }
    return riga;
}

int eseguiRigaDiComando(const RigaDiComando& riga, const QString& appDir, QTextStream& out, QTextStream& err,
                        QTextStream* in)
{
    switch (riga.azione) {
    case RigaDiComando::Finestre:
        return -1;
    case RigaDiComando::Aiuto:
        out << uso(appDir) << Qt::flush;
        return 0;
    case RigaDiComando::Sbagliata:
        err << riga.errore << QLatin1Char('\n') << uso(appDir) << Qt::flush;
        return 2;
    case RigaDiComando::Sincronizza:
        return sincronizza(riga, appDir, out, err, in);
    default:
        break;
    }

    const QString file = QFileInfo(QDir::current(), riga.file).absoluteFilePath();
    const QString archivio = ArchiveFile::archivePath(appDir);
    EsitoScambio esito;
    if (riga.azione == RigaDiComando::ImportaVCard)
        esito = importaVCard(appDir, file);
    else if (riga.azione == RigaDiComando::EsportaVCard)
        esito = esportaVCard(appDir, file);
    else
        esito = esportaCsvTutti(appDir, file);

    if (!esito.riuscito()) {
        // The archive's message parts its sentences for a message box; a terminal wants plain lines.
        QString messaggio = messaggioScambio(esito, file);
        messaggio.remove(QLatin1Char('\r'));
        err << messaggio << QLatin1Char('\n') << Qt::flush;
        return 1;
    }
    if (riga.azione == RigaDiComando::ImportaVCard) {
        out << QStringLiteral("%1 %2 da %3 in %4, dalla posizione %5 (accorciati: %6).")
                   .arg(esito.schede == 1 ? QStringLiteral("Importato") : QStringLiteral("Importati"),
                        contatti(esito.schede), nativo(file), nativo(archivio))
                   .arg(esito.primaPosizione)
                   .arg(esito.accorciate);
    } else {
        out << QStringLiteral("%1 %2 da %3 in %4.")
                   .arg(esito.schede == 1 ? QStringLiteral("Esportato") : QStringLiteral("Esportati"),
                        contatti(esito.schede), nativo(archivio), nativo(file));
    }
    out << QLatin1Char('\n') << Qt::flush;
    return 0;
}

int avviaRigaDiComando(int argc, char* argv[], const QString& appDir)
{
    QStringList argomenti;
#ifdef Q_OS_WIN
    // argv is in the ANSI code page, which turns every letter it lacks ("Łódź", "Ελλάδα") into '?': the
    // system's own UTF-16 command line instead.
    int numero = 0;
    if (LPWSTR* larghi = ::CommandLineToArgvW(::GetCommandLineW(), &numero)) {
        for (int i = 1; i < numero; ++i)
            argomenti << QString::fromWCharArray(larghi[i]);
        ::LocalFree(larghi);
    }
#else
    for (int i = 1; i < argc; ++i)
        argomenti << QString::fromLocal8Bit(argv[i]);
#endif
    const RigaDiComando riga = leggiRigaDiComando(argomenti);
    if (riga.azione == RigaDiComando::Finestre)
        return -1;
    // No display is opened: a core application is all the commands need.
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    return eseguiRigaDiComando(riga, appDir, out, err, &in);
}
