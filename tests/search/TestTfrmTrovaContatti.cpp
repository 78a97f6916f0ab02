#include "archive/ArchiveFile.h"
#include "archive/RigaLista.h"
#include "search/ImpaginaStampa.h"
#include "search/ListaContatti.h"
#include "search/TfrmTrovaContatti.h"
#include "search/VistaRighe.h"
#include "support/FakeMessageService.h"
#include "support/FakePrinterService.h"
#include "support/ModaleAttesa.h"
#include "support/SchedeDiProva.h"
#include "support/SoloLettura.h"
#include "support/TestiAttesi.h"
#include "ui/FocusHighlight.h"
#include "ui/HoverHints.h"
#include "ui/WindowFrame.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace SchedeDiProva;
using Kind = FakeMessageService::Kind;

namespace {

const QString kListaVuotaRicerca = QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna scadenza.");
const QString kListaVuotaStampa =
    QStringLiteral("Operazione di stampa non applicabile: la lista non contiene nessuna voce.");
const QString kTitoloStampa = QStringLiteral("Conferma operazione di stampa");
const QString kDomandaStampa = QStringLiteral("Si vuole stampare l'elenco dei contatti in archivio?");

TSchedaContatto daTesti(const TestiScheda& testi)
{
    TSchedaContatto s{};
    schedaDaTesti(s, testi);
    return s;
}

TestiScheda persona(const QString& cognome, const QString& nome, const QString& note = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Nome] = nome;
    t[Note] = note;
    return t;
}

QByteArray archivioDi(const QList<TestiScheda>& schede)
{
    QByteArray out;
    for (const TestiScheda& t : schede)
        out += byte(daTesti(t));
    return out;
}

// chattr +i: not even root may open the file for writing. Not every file system or container allows it.
} // namespace

// The search window on its own: the list it builds, the search, the double click, the printed list.
class TestTfrmTrovaContatti : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeMessageService> m_messaggi;
    std::unique_ptr<TfrmTrovaContatti> m_f;

    TfrmTrovaContatti* f() const { return m_f.get(); }
    QString percorso() const { return ArchiveFile::archivePath(m_dir->path()); }
    QStringList righe() const
    {
        QStringList out;
        for (int i = 0; i < f()->lista().count(); ++i)
            out << f()->lista().riga(i);
        return out;
    }
    // Fills the list and shows the window without a modal loop of its own, so the test can drive it.
    bool apri()
    {
        if (!f()->riempiLista())
            return false;
        f()->show();
        return QTest::qWaitForWindowActive(f());
    }
    void trova(const QString& testo)
    {
        f()->txtTrova->setText(testo);
        QTest::mouseClick(f()->cmdTrova, Qt::LeftButton);
    }
    void doppioClic(int riga)
    {
        QListView* v = f()->lstRecords;
        const QPoint punto = riga >= 0 ? v->visualRect(v->model()->index(riga, 0)).center() : QPoint(5, 150);
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, punto);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_messaggi = std::make_unique<FakeMessageService>();
        m_f = std::make_unique<TfrmTrovaContatti>(m_dir->path());
    }
    void cleanup()
    {
        m_f.reset();
        m_messaggi.reset();
        m_dir.reset();
    }

    void aspetto()
    {
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs)})));
        QVERIFY(apri());
        QCOMPARE(f()->windowTitle(), u" Ricerca scheda in archivio"_qs);
        QCOMPARE(f()->size(), QSize(697, 393));
        QCOMPARE(f()->palette().color(QPalette::Window), WindowFrame::silver());
        QCOMPARE(helpContext(f()), 1006);
        QVERIFY(!(f()->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(f()->windowFlags() & Qt::WindowMaximizeButtonHint));

        QCOMPARE(f()->lblInfo01->text(), u"Inserire una o più parole consecutive presenti nella scheda da cercare e "
                                         u"premere il pulsante Trova."_qs);
        QCOMPARE(f()->lblInfo02->text(), u"Per spostarsi sulla voce successiva contenente la stessa chiave di "
                                         u"ricerca, fare di nuovo clic su Trova."_qs);
        QCOMPARE(f()->lblInfo03->text(), u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_qs);
        QCOMPARE(textColour(f()->lblInfo01), QColor(0, 0, 0));
        QCOMPARE(textColour(f()->lblInfo02), QColor(0, 0, 0));
        QCOMPARE(textColour(f()->lblInfo03), QColor(128, 0, 0));
        QCOMPARE(f()->cmdTrova->text(), u"Trova"_qs);
        QCOMPARE(f()->cmdStampa->text(), u"Stampa"_qs);
        QCOMPARE(f()->cmdImporta->text(), u"Annulla"_qs);

        // Only the key box is in the keyboard order.
        for (QWidget* w : {(QWidget*)f()->cmdTrova, (QWidget*)f()->cmdStampa, (QWidget*)f()->cmdImporta,
                           (QWidget*)f()->lstRecords}) {
            QVERIFY2(!(w->focusPolicy() & Qt::TabFocus), qPrintable(w->objectName()));
        }
        QVERIFY(f()->txtTrova->focusPolicy() & Qt::TabFocus);
        for (QPushButton* b : {f()->cmdTrova, f()->cmdStampa, f()->cmdImporta})
            QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);

        QListView* v = f()->lstRecords;
        QCOMPARE(v->size(), QSize(645, 197));
        QCOMPARE(v->font().family(), u"Courier New"_qs);
        QCOMPARE(v->font().pointSize(), 8);
        QVERIFY(v->uniformItemSizes());
        QCOMPARE(v->visualRect(v->model()->index(0, 0)).height(), 14);
        QCOMPARE(v->palette().color(QPalette::Base), QColor(255, 255, 255));
        QCOMPARE(v->palette().color(QPalette::Text), QColor(0, 0, 0));
        // The whole width of 1200 pixels scrolls into view.
        QCOMPARE(v->horizontalScrollBar()->maximum() + v->viewport()->width(), 1200);

        // Every control can be told apart by a screen reader.
        for (QWidget* w : f()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
        }
        QCOMPARE(f()->txtTrova->accessibleName(), u"Chiave di ricerca"_qs);
        QCOMPARE(f()->lstRecords->accessibleName(), u"Elenco delle schede"_qs);
    }

    // Opening reads the archive once, lists every card sorted, selects the first line and readies the key box.
    void apertura()
    {
        const QList<TestiScheda> schede = {persona(u"Verdi"_qs, u"Giuseppe"_qs), persona({}, {}),
                                           persona(u"bianchi"_qs, u"Anna"_qs), persona(u"Rossi"_qs, u"Mario"_qs)};
        QVERIFY(scrivi(percorso(), archivioDi(schede) + QByteArray(500, 'x')));
        ArchiveFile::resetCounters();
        QVERIFY(apri());
        QCOMPARE(ArchiveFile::counters().opens, 1);
        QCOMPARE(ArchiveFile::counters().recordsRead, 4);
        QCOMPARE(righe(), (QStringList{rigaLista(daTesti(schede[1])), rigaLista(daTesti(schede[2])),
                                       rigaLista(daTesti(schede[3])), rigaLista(daTesti(schede[0]))}));
        QCOMPARE(f()->lstRecords->model()->rowCount(), 4);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 0);
        QCOMPARE(QApplication::focusWidget(), f()->txtTrova);
        QCOMPARE(background(f()->txtTrova), FocusHighlight::yellow());

        // A search, a closing, a change of the archive, a new opening: a fresh list, and the old key counts as new.
        trova(u"rossi"_qs);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 2);
        f()->close();
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Rossi"_qs, u"Luca"_qs)})));
        QVERIFY(apri());
        QCOMPARE(f()->txtTrova->text(), QString());
        QCOMPARE(f()->lista().count(), 2);
        trova(u"rossi"_qs);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 0);
        QVERIFY(m_messaggi->entries.isEmpty());
    }

    void tastoInvio()
    {
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Bianchi"_qs, u"Anna"_qs),
                                               persona(u"Rossi"_qs, u"Luca"_qs)})));
        QVERIFY(apri());
        QTest::keyClicks(f()->txtTrova, u"ROSSI"_qs);
        QTest::keyClick(f()->txtTrova, Qt::Key_Return);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 1);
        QTest::keyClick(f()->txtTrova, Qt::Key_Enter);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 2);
        QTest::mouseClick(f()->cmdTrova, Qt::LeftButton);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 1);
        // Enter searches, it does not close the window, and the key stays in the box.
        QVERIFY(f()->isVisible());
        QCOMPARE(f()->txtTrova->text(), u"ROSSI"_qs);

        // A line picked by hand: the same key goes on after it.
        QTest::mouseClick(f()->lstRecords->viewport(), Qt::LeftButton, {},
                          f()->lstRecords->visualRect(f()->lstRecords->model()->index(0, 0)).center());
        QTest::mouseClick(f()->cmdTrova, Qt::LeftButton);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), 1);
    }

    void archivioVuoto_data()
    {
        QTest::addColumn<bool>("esiste");
        QTest::newRow("empty") << true;
        QTest::newRow("missing: created") << false;
    }

    void archivioVuoto()
    {
        QFETCH(bool, esiste);
        if (esiste)
            QVERIFY(scrivi(percorso(), QByteArray(100, 'x')));
        QSignalSpy scelte(f(), &TfrmTrovaContatti::schedaScelta);
        QVERIFY(apri());
        QVERIFY(QFileInfo(percorso()).isFile());
        QCOMPARE(f()->lstRecords->model()->rowCount(), 0);
        QCOMPARE(f()->lstRecords->rigaSelezionata(), -1);
        trova(u"rossi"_qs);
        QCOMPARE(m_messaggi->texts(), QStringList{kListaVuotaRicerca});
        QCOMPARE(m_messaggi->entries.first().kind, Kind::Message);
        QTest::mouseClick(f()->cmdStampa, Qt::LeftButton);
        QCOMPARE(m_messaggi->texts(), (QStringList{kListaVuotaRicerca, kListaVuotaStampa}));
        QVERIFY(f()->isVisible());
        doppioClic(-1);
        QVERIFY(!f()->isVisible());
        QCOMPARE(scelte.count(), 0);
    }

    // The archive can be neither opened nor created: the message, and the window is not shown.
    void archivioInaccessibile()
    {
        QVERIFY(archivioCartella(m_dir->path()));
        ModaleAttesa attesa;
        QCOMPARE(f()->apri(), int(QDialog::Rejected));
        QCOMPARE(attesa.viste(), 0);
        QVERIFY(!f()->isVisible());
        QCOMPARE(m_messaggi->texts(), QStringList{TestiAttesi::kErroreArchivio});
    }

    // An archive that cannot be written to can still be searched.
    void archivioProtetto()
    {
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs)})));
        QSignalSpy scelte(f(), &TfrmTrovaContatti::schedaScelta);
        bool aperta = false;
        {
            const SoloLettura protetto(percorso());
#ifdef Q_OS_WIN
            // Wine run by root keeps the read-only attribute as permission bits, which root writes past.
            if (!protetto.attiva())
                QSKIP("the read-only attribute does not stop this user from writing");
#endif
            QVERIFY(protetto.attiva());
            aperta = f()->riempiLista();
            if (aperta) {
                f()->show();
                doppioClic(0);
            }
        }
        QVERIFY(aperta);
        QCOMPARE(f()->lista().count(), 1);
        QCOMPARE(scelte.count(), 1);
        QVERIFY(m_messaggi->entries.isEmpty());
    }

    // Cards 2 and 4 give the same line (they differ only in the notes): either line loads card 4.
    void righeUguali_data()
    {
        QTest::addColumn<int>("riga");
        QTest::newRow("first of the two") << 1;
        QTest::newRow("second of the two") << 2;
    }

    void righeUguali()
    {
        QFETCH(int, riga);
        const QList<TestiScheda> schede = {
            persona(u"Alfa"_qs, u"Uno"_qs), persona(u"Rossi"_qs, u"Mario"_qs, u"prima"_qs),
            persona(u"Zeta"_qs, u"Tre"_qs), persona(u"Rossi"_qs, u"Mario"_qs, u"seconda"_qs)};
        QVERIFY(scrivi(percorso(), archivioDi(schede)));
        QVERIFY(apri());
        QSignalSpy scelte(f(), &TfrmTrovaContatti::schedaScelta);
        doppioClic(riga);
        QVERIFY(!f()->isVisible());
        QCOMPARE(scelte.count(), 2);
        QCOMPARE(scelte[0][1].toString(), u"2"_qs);
        QCOMPARE(scelte[1][1].toString(), u"4"_qs);
        QCOMPARE(testiDaScheda(scelte[1][0].value<TSchedaContatto>())[Note], u"seconda"_qs);
        QVERIFY(m_messaggi->entries.isEmpty());
    }

    // The archive changed while the window was open: no card gives the line any more, nothing is loaded.
    void rigaNonPiuInArchivio()
    {
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs)})));
        QVERIFY(apri());
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Maria"_qs)})));
        QSignalSpy scelte(f(), &TfrmTrovaContatti::schedaScelta);
        doppioClic(0);
        QVERIFY(!f()->isVisible());
        QCOMPARE(scelte.count(), 0);
        QVERIFY(m_messaggi->entries.isEmpty());
    }

    void annulla()
    {
        QVERIFY(scrivi(percorso(), archivioDi({persona(u"Rossi"_qs, u"Mario"_qs)})));
        QVERIFY(apri());
        QSignalSpy scelte(f(), &TfrmTrovaContatti::schedaScelta);
        // Only the left button's double click chooses.
        QListView* v = f()->lstRecords;
        QTest::mouseDClick(v->viewport(), Qt::RightButton, {}, v->visualRect(v->model()->index(0, 0)).center());
        QVERIFY(f()->isVisible());
        QTest::mouseClick(f()->cmdImporta, Qt::LeftButton);
        QVERIFY(!f()->isVisible());
        QCOMPARE(scelte.count(), 0);
    }

    // Every text of the printed list, at 600 dpi, on three pages.
    void stampa()
    {
        QVERIFY(scrivi(percorso(), archivio(70)));
        FakePrinterService stampanti;
        QVERIFY(apri());
        const QDateTime prima = QDateTime::currentDateTime();
        QTest::mouseClick(f()->cmdStampa, Qt::LeftButton);
        const QDateTime dopo = QDateTime::currentDateTime();
        QCOMPARE(m_messaggi->entries.size(), 1);
        QCOMPARE(m_messaggi->entries[0].kind, Kind::Question);
        QCOMPARE(m_messaggi->entries[0].caption, kTitoloStampa);
        QCOMPARE(m_messaggi->entries[0].text, kDomandaStampa);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f()->isVisible());

        const StampanteRegistrata& carta = stampanti.stampante;
        QCOMPARE(carta.lavori, 1);
        QCOMPARE(carta.lavoriChiusi, 1);
        QCOMPARE(carta.pagine, 3); // 30 + 34 + 6 lines
        QCOMPARE(carta.testi.size(), 70 + 5);
        struct Atteso
        {
            int pagina;
            int punti;
            int y;
            QString testo;
        };
        QList<Atteso> attesi = {
            {0, 14, 234, QString(24, u'-')}, {0, 12, 334, u"Rubrica contatti"_qs}, {0, 14, 434, QString(24, u'-')}};
        int y = 635;
        int pagina = 0;
        for (int i = 0; i < 70; ++i) {
            if (y >= 4760 - 201) {
                ++pagina;
                y = 134;
            }
            attesi.append({pagina, 8, y, f()->lista().riga(i)});
            y += 134;
        }
        attesi.append({2, 8, 134 + 6 * 134 + 50, QString(20, u'_')});
        attesi.append({2, 8, 134 + 6 * 134 + 150, {}});
        for (int i = 0; i < attesi.size(); ++i) {
            const StampanteRegistrata::Testo& t = carta.testi[i];
            const Atteso& a = attesi[i];
            const QString dove = QStringLiteral("text %1").arg(i);
            QVERIFY2(t.pagina == a.pagina && t.y == a.y && t.x == 150,
                     qPrintable(dove + QStringLiteral(" at page %1, %2,%3").arg(t.pagina).arg(t.x).arg(t.y)));
            QVERIFY2(qFuzzyCompare(t.punti, qreal(a.punti)), qPrintable(dove));
            QCOMPARE(t.famiglia, u"Courier New"_qs);
            QVERIFY(!t.grassetto && !t.sottolineato);
            QCOMPARE(t.colore, QColor(0, 0, 0));
            QVERIFY(t.puntatoreAttesa);
            if (!a.testo.isEmpty())
                QCOMPARE(t.testo, a.testo);
        }
        // The list lines go out as they are, trailing blanks included.
        QCOMPARE(carta.testi[3].testo.size(), kLunghezzaRigaLista);
        // The date and time of the printing, as the regional settings write them.
        const QString data = carta.testi.last().testo;
        QVERIFY2(data == rigaDataStampa(QLocale::system(), prima) || data == rigaDataStampa(QLocale::system(), dopo),
                 qPrintable(data));
    }

    void stampaNegata()
    {
        QVERIFY(scrivi(percorso(), archivio(3)));
        FakePrinterService stampanti;
        m_messaggi->answers = {false};
        QVERIFY(apri());
        QTest::mouseClick(f()->cmdStampa, Qt::LeftButton);
        QCOMPARE(m_messaggi->entries.size(), 1);
        QCOMPARE(stampanti.richieste, 0);
        QCOMPARE(stampanti.stampante.lavori, 0);
        QVERIFY(f()->isVisible());
    }

    // No printer, or one that refuses the job or a page: the error report with the reason, the window stays.
    void stampaFallita_data()
    {
        QTest::addColumn<int>("guasto");
        QTest::addColumn<bool>("iniziata");
        QTest::newRow("no printer") << 0 << false;
        QTest::newRow("job refused") << 1 << false;
        QTest::newRow("second page refused") << 2 << true;
    }

    void stampaFallita()
    {
        QFETCH(int, guasto);
        QFETCH(bool, iniziata);
        QVERIFY(scrivi(percorso(), archivio(70)));
        FakePrinterService stampanti;
        stampanti.nessunaStampante = guasto == 0;
        stampanti.stampante.rifiutaInizio = guasto == 1;
        stampanti.stampante.paginaCheFallisce = guasto == 2 ? 1 : -1;
        QVERIFY(apri());
        if (guasto == 1)
            QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        QTest::mouseClick(f()->cmdStampa, Qt::LeftButton);
        QCOMPARE(m_messaggi->entries.size(), 2);
        QCOMPARE(m_messaggi->entries[1].kind, Kind::Error);
        QCOMPARE(m_messaggi->entries[1].text, guasto == 0 ? stampanti.erroreNessuna : stampanti.erroreRifiuto);
        QCOMPARE(stampanti.stampante.lavori, iniziata ? 1 : 0);
        QCOMPARE(stampanti.stampante.lavoriChiusi, iniziata ? 1 : 0);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f()->isVisible());
    }
};

QTEST_MAIN(TestTfrmTrovaContatti)
#include "TestTfrmTrovaContatti.moc"
