#include "app/TfrmCarnetto.h"
#include "archive/ArchiveFile.h"
#include "cards/TfrmContatti.h"
#include "support/CartellaBloccata.h"
#include "support/LimiteScrittura.h"
#include "support/ModaleAttesa.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"
#include "tests/cards/BancoContatti.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace SchedeDiProva;
using namespace TestiAttesi;

namespace {

constexpr int kMancante = -1;
constexpr int kCartella = -2; // a folder where the archive should be

using Kind = FakeMessageService::Kind;

// What the card shows: the sixteen boxes, then the position label.
QStringList mostrato(const TfrmContatti* f)
{
    QStringList out;
    for (int c = 0; c < kNumeroCampi; ++c)
        out << f->campo(Campo(c))->text();
    return out << f->lblPosizione->text();
}

QStringList scheda(const TestiScheda& testi, const QString& posizione)
{
    return QStringList(testi.begin(), testi.end()) << posizione;
}

QStringList schedaVuota()
{
    TestiScheda testi;
    testi[Web] = QStringLiteral("http://");
    return scheda(testi, {});
}

// A card with edits the user has not saved.
TestiScheda modificata()
{
    TestiScheda testi;
    testi[Cognome] = QStringLiteral("Modificata");
    testi[Web] = QStringLiteral("http://www.esempio.it");
    testi[Note] = QStringLiteral("modifiche non salvate");
    return testi;
}

TestiScheda testiDi(int n)
{
    return testiDaScheda(SchedeDiProva::scheda(n));
}

void rilascia(QWidget* w, Qt::MouseButton pulsante = Qt::LeftButton)
{
    QTest::mouseClick(w, pulsante);
}

} // namespace

// The card window's archive actions, driven with the mouse: browsing, new card, saving, deleting, and the
// windows it opens or returns to.
class TestTfrmContatti : public QObject
{
    Q_OBJECT

private:
    TfrmContatti* f() const { return m_banco->finestra(); }
    QWidget* c(const char* nome) const { return m_banco->controllo(nome); }
    QLineEdit* campo(Campo campo) const { return f()->campo(campo); }
    QString archivio() const { return m_banco->archivio(); }
    void prepara(int schede, int coda = 0)
    {
        if (schede >= 0)
            QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(schede) + QByteArray(coda, 'x')));
        if (schede == kCartella)
            QVERIFY(archivioCartella(m_banco->cartella()));
    }

    // The card at `posizione` as browsing loads it from an archive of SchedeDiProva cards, then edited and not
    // saved; a position that names no such card loads an empty record.
    void caricaModificata(const QString& posizione)
    {
        const int p = posizione.toInt();
        f()->caricaScheda(p >= 1 ? SchedeDiProva::scheda(p) : TSchedaContatto{}, posizione);
        const TestiScheda testi = modificata();
        for (int c = 0; c < kNumeroCampi; ++c)
            campo(Campo(c))->setText(testi[c]);
    }

    std::unique_ptr<BancoContatti> m_banco;

private Q_SLOTS:
    void init()
    {
        m_banco = std::make_unique<BancoContatti>();
        QVERIFY(m_banco->mostra());
    }
    void cleanup() { m_banco.reset(); }

    void finestraMostrataVuota()
    {
        prepara(3);
        f()->caricaScheda(SchedeDiProva::scheda(2), QStringLiteral("2"));
        f()->close();
        QVERIFY(m_banco->mostra());
        QCOMPARE(mostrato(f()), schedaVuota());
        QCOMPARE(QApplication::focusWidget(), campo(Cognome));
        QVERIFY(m_banco->messaggi.entries.isEmpty());
    }

    void scorrimento_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<QByteArray>("freccia");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("mostrata"); // 0: the edited card stays on screen
        QTest::addColumn<QString>("messaggio");

        QTest::newRow("prima da 7") << 12 << QByteArray("imgPrimo") << "7"
                                    << "1" << 1 << "";
        QTest::newRow("ultima da nuova") << 12 << QByteArray("imgUltimo") << ""
                                         << "12" << 12 << "";
        QTest::newRow("successiva da nuova") << 12 << QByteArray("imgAvanti") << ""
                                             << "1" << 1 << "";
        QTest::newRow("successiva da 5") << 12 << QByteArray("imgAvanti") << "5"
                                         << "6" << 6 << "";
        QTest::newRow("successiva dall'ultima") << 12 << QByteArray("imgAvanti") << "12"
                                                << "12" << 0 << "";
        QTest::newRow("successiva da 0") << 12 << QByteArray("imgAvanti") << "0"
                                         << "1" << 1 << "";
        QTest::newRow("precedente da nuova") << 12 << QByteArray("imgIndietro") << ""
                                             << "1" << 1 << "";
        QTest::newRow("precedente da 2") << 12 << QByteArray("imgIndietro") << "2"
                                         << "1" << 1 << "";
        QTest::newRow("precedente dalla prima") << 12 << QByteArray("imgIndietro") << "1"
                                                << "1" << 0 << "";
        QTest::newRow("precedente da 0") << 12 << QByteArray("imgIndietro") << "0"
                                         << "0" << 0 << kErroreArchivio;
        QTest::newRow("vuoto: prima") << 0 << QByteArray("imgPrimo") << "3"
                                      << "3" << 0 << kNessunaScheda;
        QTest::newRow("vuoto: ultima") << 0 << QByteArray("imgUltimo") << "3"
                                       << "3" << 0 << kNessunaScheda;
        QTest::newRow("vuoto: successiva") << 0 << QByteArray("imgAvanti") << "3"
                                           << "" << 0 << kNessunaScheda;
        QTest::newRow("vuoto: precedente") << 0 << QByteArray("imgIndietro") << "3"
                                           << "3" << 0 << kNessunaScheda;
        QTest::newRow("mancante: successiva") << kMancante << QByteArray("imgAvanti") << ""
                                              << "" << 0 << kNessunaScheda;
        QTest::newRow("inaccessibile: prima") << kCartella << QByteArray("imgPrimo") << "2"
                                              << "2" << 0 << kErroreArchivio;
        QTest::newRow("inaccessibile: successiva") << kCartella << QByteArray("imgAvanti") << ""
                                                   << "" << 0 << kErroreArchivio;
    }
    void scorrimento()
    {
        QFETCH(int, schede);
        QFETCH(QByteArray, freccia);
        QFETCH(QString, posizione);
        QFETCH(QString, dopo);
        QFETCH(int, mostrata);
        QFETCH(QString, messaggio);
        prepara(schede);
        const QByteArray prima = leggi(archivio());
        caricaModificata(posizione);
        campo(Note)->setFocus();

        rilascia(c(freccia.constData()));
        QCOMPARE(mostrato(f()), scheda(mostrata ? testiDi(mostrata) : modificata(), dopo));
        QCOMPARE(m_banco->messaggi.texts(), messaggio.isEmpty() ? QStringList() : QStringList{messaggio});
        // Browsing never moves the focus and never writes; it creates a missing archive empty.
        QCOMPARE(QApplication::focusWidget(), campo(Note));
        if (schede == kCartella)
            QVERIFY(QFileInfo(archivio()).isDir());
        else
            QCOMPARE(leggi(archivio()), schede == kMancante ? QByteArray() : prima);
    }

    void ioPerAzione_data()
    {
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("letti");
        QTest::addColumn<int>("scritti");

        QTest::newRow("prima") << QByteArray("imgPrimo") << "5" << 1 << 0;
        QTest::newRow("precedente") << QByteArray("imgIndietro") << "5" << 1 << 0;
        QTest::newRow("successiva") << QByteArray("imgAvanti") << "5" << 1 << 0;
        QTest::newRow("ultima") << QByteArray("imgUltimo") << "5" << 1 << 0;
        // The record on screen is read once, to check that it is still the one loaded, then written.
        QTest::newRow("modifica") << QByteArray("imgSalva") << "5" << 1 << 1;
        QTest::newRow("nuova") << QByteArray("lblSalva") << "" << 0 << 1;
    }
    void ioPerAzione()
    {
        QFETCH(QByteArray, pulsante);
        QFETCH(QString, posizione);
        QFETCH(int, letti);
        QFETCH(int, scritti);
        prepara(12);
        f()->caricaScheda(SchedeDiProva::scheda(5), posizione);

        ArchiveFile::resetCounters();
        rilascia(c(pulsante.constData()));
        QCOMPARE(ArchiveFile::counters().opens, 1);
        QCOMPARE(ArchiveFile::counters().recordsRead, letti);
        QCOMPARE(ArchiveFile::counters().recordsWritten, scritti);
    }

    void salvataggioNuovaPoiModifica()
    {
        prepara(4);
        QTest::keyClicks(campo(Cognome), QStringLiteral("  Rossi"));
        rilascia(c("imgSalva"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kContattoSalvato});
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("5"));
        QByteArray dopo = leggi(archivio());
        QCOMPARE(dopo.size(), 5 * kRecord);
        QCOMPARE(dopo.left(4 * kRecord), SchedeDiProva::archivio(4));
        const TestiScheda salvati = testiDaScheda(record(dopo, 4));
        QCOMPARE(salvati[Cognome], QStringLiteral("Rossi"));
        QCOMPARE(salvati[Web], QStringLiteral("http://"));
        // The box is not refreshed from the record.
        QCOMPARE(campo(Cognome)->text(), QStringLiteral("  Rossi"));

        QTest::keyClicks(campo(Nome), QStringLiteral("Mario"));
        rilascia(c("lblSalva"));
        QCOMPARE(m_banco->messaggi.texts(), (QStringList{kContattoSalvato, kModificheSalvate}));
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("5"));
        dopo = leggi(archivio());
        QCOMPARE(dopo.size(), 5 * kRecord);
        QCOMPARE(testiDaScheda(record(dopo, 4))[Nome], QStringLiteral("Mario"));
    }

    void sovrascritturaToccaSoloLaScheda()
    {
        prepara(4);
        const QByteArray prima = leggi(archivio());
        for (const char* freccia : {"imgPrimo", "imgAvanti", "imgAvanti"})
            rilascia(c(freccia));
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("3"));
        campo(Tel)->setFocus();
        campo(Tel)->selectAll();
        QTest::keyClicks(campo(Tel), QStringLiteral("347 1234567"));

        rilascia(c("imgSalva"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kModificheSalvate});
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("3"));
        const QByteArray dopo = leggi(archivio());
        QCOMPARE(dopo.size(), prima.size());
        QCOMPARE(dopo.left(2 * kRecord), prima.left(2 * kRecord));
        QCOMPARE(dopo.mid(3 * kRecord), prima.mid(3 * kRecord));
        TestiScheda attesi = testiDi(3);
        attesi[Tel] = QStringLiteral("347 1234567");
        QCOMPARE(testiDaScheda(record(dopo, 2)), attesi);
    }

    // The archive is missing, so a refused save can also be seen not to create it.
    void contenutoMinimo_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("azienda");
        QTest::addColumn<bool>("salvata");

        QTest::newRow("tutto vuoto") << ""
                                     << ""
                                     << "" << false;
        QTest::newRow("solo spazi") << "  "
                                    << " "
                                    << "   " << false;
        QTest::newRow("solo l'azienda") << ""
                                        << ""
                                        << "ACME srl" << true;
        QTest::newRow("solo il nome") << ""
                                      << " Mario"
                                      << "" << true;
    }
    void contenutoMinimo()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, nome);
        QFETCH(QString, azienda);
        QFETCH(bool, salvata);
        for (int c = Via; c < kNumeroCampi; ++c)
            campo(Campo(c))->setText(QStringLiteral("12"));
        campo(Cognome)->setText(cognome);
        campo(Nome)->setText(nome);
        campo(Azienda)->setText(azienda);
        campo(Note)->setFocus();

        rilascia(c("imgSalva"));
        if (salvata) {
            QCOMPARE(m_banco->messaggi.texts(), QStringList{kContattoSalvato});
            QCOMPARE(f()->lblPosizione->text(), QStringLiteral("1"));
            QCOMPARE(leggi(archivio()).size(), kRecord);
            QCOMPARE(QApplication::focusWidget(), campo(Note));
        } else {
            QCOMPARE(m_banco->messaggi.texts(), QStringList{kContenutoMinimo});
            QCOMPARE(f()->lblPosizione->text(), QString());
            QVERIFY(!QFile::exists(archivio()));
            QCOMPARE(QApplication::focusWidget(), campo(Cognome));
        }
    }

    void salvataggioSuCodaIncompleta()
    {
        prepara(2, 100);
        QTest::keyClicks(campo(Azienda), QStringLiteral("ACME"));
        rilascia(c("imgSalva"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kContattoSalvato});
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("3"));
        const QByteArray dopo = leggi(archivio());
        QCOMPARE(dopo.size(), 3 * kRecord);
        QCOMPARE(dopo.left(2 * kRecord), SchedeDiProva::archivio(2));
        QCOMPARE(testiDaScheda(record(dopo, 2))[Azienda], QStringLiteral("ACME"));
    }

    // Nothing is written, the message is the archive's, and the card keeps its position.
    void salvataggioFallito_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("accorciaA");

        QTest::newRow("archivio inaccessibile") << kCartella << "2" << -1;
        QTest::newRow("posizione 0") << 4 << "0" << -1;
    }
    void salvataggioFallito()
    {
        QFETCH(int, schede);
        QFETCH(QString, posizione);
        QFETCH(int, accorciaA);
        prepara(schede);
        caricaModificata(posizione);
        if (accorciaA >= 0)
            QVERIFY(QFile::resize(archivio(), accorciaA * kRecord));
        const QByteArray prima = leggi(archivio());

        rilascia(c("lblSalva"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kErroreArchivio});
        QCOMPARE(mostrato(f()), scheda(modificata(), posizione));
        QCOMPARE(leggi(archivio()), prima);
    }

    // The program's folder has been replaced by a file: every archive action fails with the archive
    // message and leaves the card; a new card needs no archive.
    void cartellaSostituitaDaUnFile()
    {
        m_banco.reset();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Carnetto"));
        QVERIFY(scrivi(file, "non una cartella"));
        m_banco = std::make_unique<BancoContatti>(file);
        QVERIFY(m_banco->mostra());
        caricaModificata(QStringLiteral("1"));

        for (const char* pulsante : {"imgPrimo", "imgIndietro", "imgAvanti", "imgUltimo", "imgSalva", "imgElimina"})
            rilascia(c(pulsante));
        QCOMPARE(m_banco->messaggi.texts(),
                 (QStringList{kErroreArchivio, kErroreArchivio, kErroreArchivio, kErroreArchivio, kErroreArchivio,
                              kDomandaConferma, kErroreArchivio}));
        QCOMPARE(mostrato(f()), scheda(modificata(), QStringLiteral("1")));

        campo(Note)->setFocus();
        rilascia(c("lblNuovo"));
        QCOMPARE(mostrato(f()), schedaVuota());
        QCOMPARE(QApplication::focusWidget(), campo(Cognome));
        QCOMPARE(m_banco->messaggi.entries.size(), 7);
        QCOMPARE(leggi(file), QByteArray("non una cartella"));
    }

    void eliminazione_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<QList<int>>("resto");

        QTest::newRow("2 di 3") << 3 << QByteArray("imgElimina") << "2" << QList<int>{1, 3};
        QTest::newRow("l'ultima di 3") << 3 << QByteArray("lblElimina") << "3" << QList<int>{1, 2};
        QTest::newRow("la sola") << 1 << QByteArray("imgElimina") << "1" << QList<int>{};
        // Position 0 names no record: the archive is rewritten as it was and the card cleared.
        QTest::newRow("posizione 0") << 3 << QByteArray("lblElimina") << "0" << QList<int>{1, 2, 3};
    }
    void eliminazione()
    {
        QFETCH(int, schede);
        QFETCH(QByteArray, pulsante);
        QFETCH(QString, posizione);
        QFETCH(QList<int>, resto);
        prepara(schede);
        caricaModificata(posizione);
        campo(Note)->setFocus();

        rilascia(c(pulsante.constData()));
        QCOMPARE(m_banco->messaggi.entries.size(), 1);
        const FakeMessageService::Entry domanda = m_banco->messaggi.entries.first();
        QCOMPARE(domanda.kind, Kind::Question);
        QCOMPARE(domanda.caption, kTitoloConferma);
        QCOMPARE(domanda.text, kDomandaConferma);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(resto));
        QVERIFY(!QFile::exists(m_banco->temporaneo()));
        QCOMPARE(mostrato(f()), schedaVuota());
        QCOMPARE(QApplication::focusWidget(), campo(Cognome));

        if (resto.isEmpty()) {
            rilascia(c("imgPrimo"));
            QCOMPARE(m_banco->messaggi.lastText(), kNessunaScheda);
        }
    }

    void eliminazioneSenzaPosizione_data()
    {
        QTest::addColumn<QString>("posizione");
        QTest::newRow("scheda nuova") << "";
        QTest::newRow("solo spazi") << "  ";
    }
    void eliminazioneSenzaPosizione()
    {
        QFETCH(QString, posizione);
        prepara(3);
        caricaModificata(posizione);
        rilascia(c("imgElimina"));
        QCOMPARE(m_banco->messaggi.entries.size(), 1);
        QCOMPARE(m_banco->messaggi.entries.first().kind, Kind::Message);
        QCOMPARE(m_banco->messaggi.lastText(), kCancellazioneNonValida);
        QCOMPARE(mostrato(f()), scheda(modificata(), posizione));
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }

    // The card and its position stay, and the archive keeps its old content, whatever stops the deletion.
    void eliminazioneNonFatta_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QStringList>("messaggi");

        QTest::newRow("risposta No") << "no" << QStringList{kDomandaConferma};
        QTest::newRow("archivio sparito") << "mancante" << QStringList{kDomandaConferma, kErroreArchivio};
        QTest::newRow("temporaneo impossibile da creare")
            << "cartella" << QStringList{kDomandaConferma, kErroreArchivio};
        QTest::newRow("disco pieno") << "pieno" << QStringList{kDomandaConferma, kErroreArchivio};
        QTest::newRow("sostituzione impossibile") << "bloccata" << QStringList{kDomandaConferma, kErroreArchivio};
    }
    void eliminazioneNonFatta()
    {
        QFETCH(QString, caso);
        QFETCH(QStringList, messaggi);
        prepara(3);
        caricaModificata(QStringLiteral("2"));
        if (caso == u"no")
            m_banco->messaggi.answers << false;
        if (caso == u"mancante")
            QVERIFY(QFile::remove(archivio()));
        if (caso == u"cartella")
            QVERIFY(QDir(m_banco->cartella()).mkpath(QStringLiteral("Contatti.tmp/dentro")));
        const QByteArray prima = leggi(archivio());
        std::unique_ptr<LimiteScrittura> discoPieno;
        if (caso == u"pieno") {
            discoPieno = std::make_unique<LimiteScrittura>(kRecord + kRecord / 2);
            if (!discoPieno->attiva())
                QSKIP("No file size limit here");
        }
        std::unique_ptr<CartellaBloccata> blocco;
        if (caso == u"bloccata") {
            blocco = std::make_unique<CartellaBloccata>(m_banco->cartella());
            if (!blocco->attiva())
                QSKIP("chattr +a is not allowed here");
        }

        rilascia(c("lblElimina"));
        discoPieno.reset();
        QCOMPARE(m_banco->messaggi.texts(), messaggi);
        QCOMPARE(leggi(archivio()), prima);
        QCOMPARE(mostrato(f()), scheda(modificata(), QStringLiteral("2")));
    }

    void eliminazioneConTemporaneoAvanzato()
    {
        prepara(3);
        QVERIFY(scrivi(m_banco->temporaneo(), QByteArray(4 * kRecord + 9, 't')));
        f()->caricaScheda(SchedeDiProva::scheda(2), QStringLiteral("2"));
        rilascia(c("imgElimina"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kDomandaConferma});
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(QList<int>{1, 3}));
        QVERIFY(!QFile::exists(m_banco->temporaneo()));
    }

    // The pictures and captions act on the release of any mouse button, not on the press.
    void qualsiasiPulsante_data()
    {
        QTest::addColumn<QByteArray>("controllo");
        QTest::addColumn<int>("pulsante");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<QStringList>("messaggi");

        QTest::newRow("avanti, sinistro") << QByteArray("imgAvanti") << int(Qt::LeftButton) << "3" << QStringList();
        QTest::newRow("avanti, destro") << QByteArray("imgAvanti") << int(Qt::RightButton) << "3" << QStringList();
        QTest::newRow("indietro, centrale")
            << QByteArray("imgIndietro") << int(Qt::MiddleButton) << "1" << QStringList();
        QTest::newRow("Nuovo, destro") << QByteArray("lblNuovo") << int(Qt::RightButton) << "" << QStringList();
        QTest::newRow("Nuovo, centrale") << QByteArray("imgNuovo") << int(Qt::MiddleButton) << "" << QStringList();
        QTest::newRow("Salva, centrale") << QByteArray("lblSalva") << int(Qt::MiddleButton) << "2"
                                         << QStringList{kModificheSalvate};
        QTest::newRow("Salva, destro") << QByteArray("imgSalva") << int(Qt::RightButton) << "2"
                                       << QStringList{kModificheSalvate};
        QTest::newRow("Elimina, destro") << QByteArray("lblElimina") << int(Qt::RightButton) << ""
                                         << QStringList{kDomandaConferma};
    }
    void qualsiasiPulsante()
    {
        QFETCH(QByteArray, controllo);
        QFETCH(int, pulsante);
        QFETCH(QString, dopo);
        QFETCH(QStringList, messaggi);
        prepara(3);
        f()->caricaScheda(SchedeDiProva::scheda(2), QStringLiteral("2"));
        QWidget* w = c(controllo.constData());

        QTest::mousePress(w, Qt::MouseButton(pulsante));
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(m_banco->messaggi.entries.isEmpty());
        QTest::mouseRelease(w, Qt::MouseButton(pulsante));
        QCOMPARE(f()->lblPosizione->text(), dopo);
        QCOMPARE(m_banco->messaggi.texts(), messaggi);
    }

    // Backup clears the card before its window opens, and the card stays empty; the other windows leave it.
    void finestreModali_data()
    {
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QString>("finestra");
        QTest::addColumn<bool>("svuota");

        QTest::newRow("backup dall'immagine") << QByteArray("imgEsporta") << "frmBakContatti" << true;
        QTest::newRow("backup dalla didascalia") << QByteArray("lblEsporta") << "frmBakContatti" << true;
        QTest::newRow("esportazione dall'immagine") << QByteArray("imgExcel") << "frmExpContatti" << false;
        QTest::newRow("esportazione dalla didascalia") << QByteArray("lblExcel") << "frmExpContatti" << false;
        QTest::newRow("ricerca") << QByteArray("imgTrova") << "frmTrovaContatti" << false;
        QTest::newRow("guida") << QByteArray("lblGuida") << "frmHelpForm" << false;
        QTest::newRow("sincronizzazione") << QByteArray("cmdSincronizza") << "frmSincronizza" << true;
    }
    void finestreModali()
    {
        QFETCH(QByteArray, pulsante);
        QFETCH(QString, finestra);
        QFETCH(bool, svuota);
        prepara(3);
        caricaModificata(QStringLiteral("2"));
        const QStringList attesa = svuota ? schedaVuota() : scheda(modificata(), QStringLiteral("2"));
        QStringList duranteLaModale;
        ModaleAttesa modale([&](QWidget*) { duranteLaModale = mostrato(f()); });

        rilascia(c(pulsante.constData()));
        QCOMPARE(modale.viste(), 1);
        QCOMPARE(modale.ultima->objectName(), finestra);
        QCOMPARE(duranteLaModale, attesa);
        QCOMPARE(mostrato(f()), attesa);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }

    void chiusuraMostraIlMenu_data()
    {
        QTest::addColumn<QByteArray>("pulsante"); // empty: the title bar's close box
        QTest::newRow("Esci, immagine") << QByteArray("imgEsci");
        QTest::newRow("Esci, didascalia") << QByteArray("lblEsci");
        QTest::newRow("chiusura della finestra") << QByteArray();
    }
    void chiusuraMostraIlMenu()
    {
        QFETCH(QByteArray, pulsante);
        caricaModificata(QString());
        QVERIFY(!frmCarnetto()->isVisible());
        if (pulsante.isEmpty())
            f()->close();
        else
            rilascia(c(pulsante.constData()));
        QVERIFY(!f()->isVisible());
        QVERIFY(frmCarnetto()->isVisible());
        QVERIFY(m_banco->messaggi.entries.isEmpty());
        QVERIFY(!QFile::exists(archivio()));
    }
};

QTEST_MAIN(TestTfrmContatti)
#include "TestTfrmContatti.moc"
