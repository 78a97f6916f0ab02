#include "cards/ArchivioSchede.h"

#include "support/FailDevice.h"
#include "support/SchedeDiProva.h"
#include "support/SoloLettura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <memory>

using namespace SchedeDiProva;

namespace {

constexpr int kMancante = -1;

TestiScheda testiCon(const QString& cognome, const QString& nome = {}, const QString& azienda = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Nome] = nome;
    t[Azienda] = azienda;
    return t;
}

// The record a window shows at `posizione` when it browsed to it in an archive of SchedeDiProva cards.
TSchedaContatto caricata(const QString& posizione)
{
    const int p = posizione.trimmed().toInt();
    return p >= 1 ? scheda(p) : TSchedaContatto{};
}

EsitoScrittura salvaSu(const QString& cartella, const TestiScheda& testi, const QString& posizione,
                       const ArchiveFile::DeviceFactory& dispositivi = {})
{
    return salva(cartella, testi, posizione, caricata(posizione), dispositivi);
}

bool eliminata(const QString& cartella, const QString& posizione, const ArchiveFile::DeviceFactory& dispositivi = {})
{
    return elimina(cartella, posizione, caricata(posizione), dispositivi).tipo == EsitoScrittura::Eliminata;
}

// Which file a fault is planted on.
enum Bersaglio { SoloArchivio, SoloTemporaneo, Entrambi };

// Devices for every file an operation opens; those of `bersaglio` get `guasti`. `sync` counts the syncs asked
// of the temporary file.
ArchiveFile::DeviceFactory guasto(Bersaglio bersaglio, const FailDevice::Faults& guasti, int* sync = nullptr)
{
    return [=](const QString& percorso) -> std::unique_ptr<ArchiveDevice> {
        const bool temporaneo = percorso.endsWith(QStringLiteral("Contatti.tmp"));
        const bool colpito = bersaglio == Entrambi || (bersaglio == SoloTemporaneo) == temporaneo;
        auto d = std::make_unique<FailDevice>(percorso);
        if (temporaneo && sync)
            d->countSyncsIn(sync);
        if (colpito)
            d->setFaults(guasti);
        return d;
    };
}

FailDevice::Faults protetto()
{
    FailDevice::Faults f;
    f.writeProtected = true;
    return f;
}

// The names in a folder, so a test can tell that nothing was created there.
QStringList contenutoCartella(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestArchivioSchede : public QObject
{
    Q_OBJECT

private:
    QString archivio() const { return ArchiveFile::archivePath(m_dir->path()); }
    QString temporaneo() const { return ArchiveFile::tempPath(m_dir->path()); }
    void prepara(int schede, int coda = 0)
    {
        if (schede != kMancante)
            QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(schede) + QByteArray(coda, 'x')));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        m_dir.reset();
        ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy());
    }

    void contenutoMinimo_data()
    {
        QTest::addColumn<TestiScheda>("testi");
        QTest::addColumn<bool>("basta");

        TestiScheda altri;
        for (int c = Via; c < kNumeroCampi; ++c)
            altri[c] = QStringLiteral("pieno");
        QTest::newRow("tutto vuoto") << TestiScheda{} << false;
        QTest::newRow("solo gli altri campi") << altri << false;
        altri[Cognome] = QStringLiteral("  ");
        altri[Nome] = QStringLiteral("\t");
        altri[Azienda] = QStringLiteral(" \r\n ");
        QTest::newRow("solo spazi e controlli") << altri << false;
        QTest::newRow("cognome") << testiCon(QStringLiteral("Rossi")) << true;
        QTest::newRow("nome tra spazi") << testiCon({}, QStringLiteral("  Mario ")) << true;
        QTest::newRow("azienda") << testiCon({}, {}, QStringLiteral("ACME")) << true;
        // Code 160 lies above 32, so trimming keeps it.
        QTest::newRow("spazio unificatore") << testiCon(QString(QChar(0xA0))) << true;
    }
    void contenutoMinimo()
    {
        QFETCH(TestiScheda, testi);
        QFETCH(bool, basta);
        QCOMPARE(haContenutoMinimo(testi), basta);
    }

    void scorrimento_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("direzione");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("mostrata"); // the card number shown, for a Mostra outcome

        const int prima = int(Scorrimento::Prima), prec = int(Scorrimento::Precedente);
        const int succ = int(Scorrimento::Successiva), ultima = int(Scorrimento::Ultima);
        const int mostra = EsitoScorrimento::Mostra, niente = EsitoScorrimento::Niente;
        const int vuoto = EsitoScorrimento::NessunaScheda, errore = EsitoScorrimento::Errore;

        QTest::newRow("prima da ' 2 '") << 12 << prima << " 2 " << mostra << "1" << 1;
        QTest::newRow("successiva oltre la fine") << 12 << succ << "15" << niente << "15" << 0;
        QTest::newRow("precedente da 12") << 12 << prec << "12" << mostra << "11" << 11;
        QTest::newRow("precedente da ' 3 '") << 12 << prec << " 3 " << mostra << "2" << 2;
        QTest::newRow("precedente da ' 1'") << 12 << prec << " 1" << niente << " 1" << 0;
        QTest::newRow("precedente da un testo") << 12 << prec << "x" << errore << "x" << 0;

        QTest::newRow("vuoto: ultima") << 0 << ultima << "" << vuoto << "" << 0;
        QTest::newRow("vuoto: successiva da nuova") << 0 << succ << "" << vuoto << "" << 0;
        // The first-card test comes before the record count: no message even on an empty archive.
        QTest::newRow("vuoto: precedente da 1") << 0 << prec << "1" << niente << "1" << 0;
        QTest::newRow("mancante: ultima") << kMancante << ultima << "" << vuoto << "" << 0;
    }
    void scorrimento()
    {
        QFETCH(int, schede);
        QFETCH(int, direzione);
        QFETCH(QString, posizione);
        QFETCH(int, esito);
        QFETCH(QString, dopo);
        QFETCH(int, mostrata);
        prepara(schede);

        const EsitoScorrimento e = scorri(m_dir->path(), Scorrimento(direzione), posizione);
        QCOMPARE(int(e.tipo), esito);
        QCOMPARE(e.posizione, dopo);
        if (esito == EsitoScorrimento::Mostra) {
            QCOMPARE(testiDaScheda(e.scheda)[Cognome], cognome(mostrata));
            QCOMPARE(testiDaScheda(e.scheda)[Tel], QStringLiteral("06 %1").arg(mostrata));
        }
        // Browsing creates a missing archive, and never writes to one.
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(qMax(schede, 0)));
    }

    void scorrimentoSuCodaIncompleta()
    {
        prepara(2, 100);
        EsitoScorrimento e = scorri(m_dir->path(), Scorrimento::Ultima, {});
        QCOMPARE(int(e.tipo), int(EsitoScorrimento::Mostra));
        QCOMPARE(e.posizione, QStringLiteral("2"));
        e = scorri(m_dir->path(), Scorrimento::Successiva, e.posizione);
        QCOMPARE(int(e.tipo), int(EsitoScorrimento::Niente));
        QCOMPARE(e.posizione, QStringLiteral("2"));
    }

    void salvataggio_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("coda");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("indice"); // the record written

        const int aggiunta = EsitoScrittura::Aggiunta, modificata = EsitoScrittura::Modificata;
        QTest::newRow("nuova su 4") << 4 << 0 << "" << aggiunta << "5" << 4;
        QTest::newRow("nuova con posizione di spazi") << 4 << 0 << "  " << aggiunta << "5" << 4;
        QTest::newRow("nuova su archivio mancante") << kMancante << 0 << "" << aggiunta << "1" << 0;
        QTest::newRow("nuova su coda incompleta") << 2 << 700 << "" << aggiunta << "3" << 2;
        QTest::newRow("modifica della 1") << 4 << 0 << "1" << modificata << "1" << 0;
        QTest::newRow("modifica della 3") << 4 << 0 << "3" << modificata << "3" << 2;
        QTest::newRow("modifica della 4") << 4 << 0 << " 4 " << modificata << "4" << 3;
    }
    void salvataggio()
    {
        QFETCH(int, schede);
        QFETCH(int, coda);
        QFETCH(QString, posizione);
        QFETCH(int, esito);
        QFETCH(QString, dopo);
        QFETCH(int, indice);
        prepara(schede, coda);
        const QByteArray prima = schede == kMancante ? QByteArray() : SchedeDiProva::archivio(schede);

        TestiScheda testi = testiCon(QStringLiteral("  Rossi  "), QStringLiteral("Mario Luigi"));
        testi[Note] = QString(300, u'n');
        const EsitoScrittura e = salvaSu(m_dir->path(), testi, posizione);
        QCOMPARE(int(e.tipo), esito);
        QCOMPARE(e.posizione, dopo);

        const QByteArray dopoByte = leggi(archivio());
        QCOMPARE(dopoByte.size(), qMax<qsizetype>(prima.size(), (indice + 1) * kRecord));
        // Only the record written differs; an incomplete tail is written over, not kept.
        QCOMPARE(dopoByte.left(indice * kRecord), prima.left(indice * kRecord));
        QCOMPARE(dopoByte.mid((indice + 1) * kRecord), prima.mid((indice + 1) * kRecord));
        const TestiScheda letti = testiDaScheda(record(dopoByte, indice));
        QCOMPARE(letti[Cognome], QStringLiteral("Rossi"));
        QCOMPARE(letti[Nome], QStringLiteral("Mario Luigi"));
        QCOMPARE(letti[Note], QString(250, u'n'));
    }

    // Another program shortened the archive, or the position names no record: nothing is written. A position
    // that is gone gives the first card to show instead; one that never named a record is a failure.
    void salvataggioSenzaRecord_data()
    {
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("dopo");
        QTest::newRow("oltre la fine") << "5" << int(EsitoScrittura::Cambiata) << "1";
        QTest::newRow("molto oltre") << "4000" << int(EsitoScrittura::Cambiata) << "1";
        QTest::newRow("zero") << "0" << int(EsitoScrittura::Errore) << "0";
        QTest::newRow("negativa") << "-1" << int(EsitoScrittura::Errore) << "-1";
    }
    void salvataggioSenzaRecord()
    {
        QFETCH(QString, posizione);
        QFETCH(int, esito);
        QFETCH(QString, dopo);
        prepara(4);
        const EsitoScrittura e = salvaSu(m_dir->path(), testiCon(QStringLiteral("Rossi")), posizione);
        QCOMPARE(int(e.tipo), esito);
        QCOMPARE(e.posizione, dopo);
        if (esito == EsitoScrittura::Cambiata)
            QCOMPARE(byte(e.scheda), byte(scheda(1)));
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(4));
    }

    void eliminazione_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("coda");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<QList<int>>("resto");
        QTest::addColumn<bool>("riuscita");

        QTest::newRow("la prima di 3") << 3 << 0 << "1" << QList<int>{2, 3} << true;
        QTest::newRow("posizione tra spazi") << 3 << 0 << " 2 " << QList<int>{1, 3} << true;
        // The texts are compared, so "02" names no record.
        QTest::newRow("zero iniziale") << 3 << 0 << "02" << QList<int>{1, 2, 3} << true;
        // A record the archive no longer has cannot be deleted: a failure, not a success that deleted nothing.
        QTest::newRow("archivio accorciato") << 3 << 0 << "5" << QList<int>{1, 2, 3} << false;
        QTest::newRow("coda incompleta") << 3 << 500 << "1" << QList<int>{2, 3} << true;
    }
    void eliminazione()
    {
        QFETCH(int, schede);
        QFETCH(int, coda);
        QFETCH(QString, posizione);
        QFETCH(QList<int>, resto);
        QFETCH(bool, riuscita);
        prepara(schede, coda);

        QCOMPARE(eliminata(m_dir->path(), posizione), riuscita);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(resto));
        QVERIFY(!QFile::exists(temporaneo()));
    }

    // The kernel's copy and the buffered one leave the same bytes, an incomplete last record dropped either
    // way; a kernel that refuses (two file systems, say) leaves the deletion to the buffer.
    void eliminazioneStessiByte_data()
    {
        QTest::addColumn<int>("coda");
        QTest::addColumn<QString>("posizione");
        QTest::newRow("in mezzo") << 0 << "250";
        QTest::newRow("la prima, coda incompleta") << 700 << "1";
        QTest::newRow("l'ultima, coda incompleta") << 1 << "500";
        QTest::newRow("nessuna (posizione 0), coda incompleta") << 1147 << "0";
    }
    void eliminazioneStessiByte()
    {
        QFETCH(int, coda);
        QFETCH(QString, posizione);
        const ArchiveFile::KernelCopy rifiuta = [](int, qint64, int, qint64, qint64) -> qint64 {
            errno = EXDEV;
            return -1;
        };
        QList<QByteArray> risultati;
        for (const ArchiveFile::KernelCopy copia :
             {ArchiveFile::systemKernelCopy(), ArchiveFile::KernelCopy{}, rifiuta}) {
            prepara(500, coda);
            ArchiveFile::setKernelCopy(copia);
            QVERIFY(eliminata(m_dir->path(), posizione));
            risultati << leggi(archivio());
            QVERIFY(!QFile::exists(temporaneo()));
        }
        QList<int> resto;
        for (int n = 1; n <= 500; ++n)
            if (QString::number(n) != posizione)
                resto << n;
        QCOMPARE(risultati[0], SchedeDiProva::archivio(resto));
        QCOMPARE(risultati[1], risultati[0]);
        QCOMPARE(risultati[2], risultati[0]);
    }

    // Whatever fails while Contatti.tmp is written, forced to the disk or closed, the archive keeps its old
    // content and no Contatti.tmp is left behind. A sync that fails must stop the replacement: the rename of a
    // file whose records may not be on the disk could leave an empty archive after a power cut.
    void eliminazioneFallita_data()
    {
        QTest::addColumn<int>("bersaglio");
        QTest::addColumn<qint64>("scrittiPrimaDelGuasto");
        QTest::addColumn<bool>("guastoAlSync");
        QTest::addColumn<bool>("guastoAllaChiusura");
        const qint64 mai = std::numeric_limits<qint64>::max();
        QTest::newRow("sync del temporaneo") << int(SoloTemporaneo) << mai << true << false;
        QTest::newRow("chiusura del temporaneo") << int(SoloTemporaneo) << mai << false << true;
        QTest::newRow("disco pieno subito") << int(SoloTemporaneo) << qint64(0) << false << false;
        QTest::newRow("disco pieno dopo un record") << int(SoloTemporaneo) << kRecord + 10 << false << false;
        QTest::newRow("chiusura dell'archivio") << int(SoloArchivio) << mai << false << true;
    }
    void eliminazioneFallita()
    {
        QFETCH(int, bersaglio);
        QFETCH(qint64, scrittiPrimaDelGuasto);
        QFETCH(bool, guastoAlSync);
        QFETCH(bool, guastoAllaChiusura);
        prepara(3);
        FailDevice::Faults guasti;
        guasti.writesAfter = scrittiPrimaDelGuasto;
        guasti.atSync = guastoAlSync;
        guasti.atClose = guastoAllaChiusura;

        QVERIFY(!eliminata(m_dir->path(), QStringLiteral("2"), guasto(Bersaglio(bersaglio), guasti)));
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
        QCOMPARE(contenutoCartella(m_dir->path()), QStringList{QStringLiteral("Contatti.pro")});
    }

    // The temporary file is forced to the disk once, before it takes the archive's place.
    void eliminazioneForzaIlTemporaneo()
    {
        prepara(3);
        int sync = 0;
        QVERIFY(eliminata(m_dir->path(), QStringLiteral("2"), guasto(Entrambi, {}, &sync)));
        QCOMPARE(sync, 1);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(QList<int>{1, 3}));
    }

    // A Contatti.tmp that the deletion did not make stays where it is.
    void eliminazioneNonTocca()
    {
        prepara(3);
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Contatti.tmp/dentro")));
        QVERIFY(!eliminata(m_dir->path(), QStringLiteral("2")));
        QVERIFY(QFileInfo::exists(temporaneo() + QStringLiteral("/dentro")));
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }

    // A deletion keeps what the user set on the archive: its permission bits, and a symbolic link stays a
    // link to the file that now holds the cards left.
    void eliminazioneMantienePermessi()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows has no permission bits for the owner, the group and the others");
#endif
        prepara(3);
        const std::string percorso = QFile::encodeName(archivio()).toStdString();
        std::filesystem::permissions(percorso, std::filesystem::perms(0640));
        QVERIFY(eliminata(m_dir->path(), QStringLiteral("1")));
        QCOMPARE(int(std::filesystem::status(percorso).permissions()), 0640);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(QList<int>{2, 3}));
    }
    void eliminazioneSuCollegamento()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a .lnk shortcut on Windows, not a symbolic link");
#endif
        QTemporaryDir altrove; // another folder, as a link to a file on a stick would be
        QVERIFY(altrove.isValid());
        const QString vero = altrove.filePath(QStringLiteral("rubrica.pro"));
        QVERIFY(scrivi(vero, SchedeDiProva::archivio(3)));
        QVERIFY(QFile::link(vero, archivio()));

        QVERIFY(eliminata(m_dir->path(), QStringLiteral("3")));
        QCOMPARE(QFileInfo(archivio()).symLinkTarget(), vero);
        QCOMPARE(leggi(vero), SchedeDiProva::archivio(QList<int>{1, 2}));
        QCOMPARE(contenutoCartella(m_dir->path()), QStringList{QStringLiteral("Contatti.pro")});
        QCOMPARE(contenutoCartella(altrove.path()), QStringList{QStringLiteral("rubrica.pro")});
    }

    // A write-protected archive or folder (a locked stick, a read-only share), for root as for anyone: the
    // cards can still be browsed; saving and deleting fail, so the window shows the archive failure message;
    // nothing is written and nothing is created. `schede` -1: no archive at all.
    void protettoDaScrittura_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("bersaglio");
        QTest::addColumn<bool>("scorre");
        QTest::addColumn<bool>("salva");
        QTest::addColumn<bool>("elimina");
        QTest::newRow("archivio protetto") << 3 << int(SoloArchivio) << true << false << false;
        QTest::newRow("chiavetta bloccata") << 3 << int(Entrambi) << true << false << false;
        // A read-only folder holding a writable archive: a card is saved in place, but no Contatti.tmp can be made.
        QTest::newRow("cartella protetta") << 3 << int(SoloTemporaneo) << true << true << false;
        QTest::newRow("chiavetta bloccata senza archivio") << kMancante << int(Entrambi) << false << false << false;
    }
    void protettoDaScrittura()
    {
        QFETCH(int, schede);
        QFETCH(int, bersaglio);
        QFETCH(bool, scorre);
        QFETCH(bool, salva);
        QFETCH(bool, elimina);
        prepara(schede);
        const auto dispositivi = guasto(Bersaglio(bersaglio), protetto());
        const QStringList prima = contenutoCartella(m_dir->path());

        const EsitoScorrimento e = scorri(m_dir->path(), Scorrimento::Ultima, {}, dispositivi);
        QCOMPARE(int(e.tipo), int(scorre ? EsitoScorrimento::Mostra : EsitoScorrimento::Errore));
        if (scorre)
            QCOMPARE(testiDaScheda(e.scheda)[Cognome], cognome(3));
        const EsitoScrittura s =
            salvaSu(m_dir->path(), testiCon(QStringLiteral("Rossi")), QStringLiteral("2"), dispositivi);
        QCOMPARE(int(s.tipo), int(salva ? EsitoScrittura::Modificata : EsitoScrittura::Errore));
        QCOMPARE(eliminata(m_dir->path(), QStringLiteral("1"), dispositivi), elimina);

        QCOMPARE(contenutoCartella(m_dir->path()), prima);
        if (!salva && schede != kMancante)
            QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(schede));
    }

    // The same on the real file system: a read-only archive file, a read-only folder.
    void protettoSulDisco_data()
    {
        QTest::addColumn<bool>("cartella");
        QTest::newRow("file in sola lettura") << false;
        QTest::newRow("cartella in sola lettura") << true;
    }
    void protettoSulDisco()
    {
        QFETCH(bool, cartella);
        prepara(3);
        SoloLettura protezione(cartella ? m_dir->path() : archivio());
        if (!protezione.attiva())
            QSKIP("neither chattr +i nor the permission bits can write-protect a file here");

        const EsitoScorrimento e = scorri(m_dir->path(), Scorrimento::Prima, {});
        QCOMPARE(int(e.tipo), int(EsitoScorrimento::Mostra));
        QCOMPARE(testiDaScheda(e.scheda)[Cognome], cognome(1));
        const EsitoScrittura s = salvaSu(m_dir->path(), testiCon(QStringLiteral("Rossi")), {});
        // A writable archive in a read-only folder still takes a new card; a read-only one does not.
        QCOMPARE(int(s.tipo), int(cartella ? EsitoScrittura::Aggiunta : EsitoScrittura::Errore));
        QVERIFY(!eliminata(m_dir->path(), QStringLiteral("1")));
        QCOMPARE(contenutoCartella(m_dir->path()), QStringList{QStringLiteral("Contatti.pro")});
        if (!cartella)
            QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }
};

QTEST_GUILESS_MAIN(TestArchivioSchede)
#include "TestArchivioSchede.moc"
