#include "BancoContatti.h"
#include "app/Startup.h"
#include "app/TfrmCarnetto.h"
#include "support/SchedeDiProva.h"

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace SchedeDiProva;

namespace {

const QByteArray kDueSchede = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Rossi;Mario;;;\r\nEMAIL:mario@rossi.it\r\nEND:VCARD\r\n"
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Acme\r\nORG:Acme\r\nEND:VCARD\r\n";

// Drags the file onto `bersaglio` and drops it there, as the desktop's file manager would. True if the drag was
// taken.
bool trascina(QWidget* bersaglio, const QString& percorso)
{
    QMimeData dati;
    dati.setUrls({QUrl::fromLocalFile(percorso)});
    dati.setText(percorso); // file managers offer the path as text too: an edit box must not take it
    const QPoint punto = bersaglio->rect().center();
    QDragEnterEvent entra(punto, Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bersaglio, &entra);
    if (!entra.isAccepted())
        return false;
    QDropEvent lascia(QPointF(punto), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bersaglio, &lascia);
    return lascia.isAccepted();
}

} // namespace

class TestImportaVCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rilascio_data();
    void rilascio();
    void fileNonVCardRifiutato();
    void daRigaDiComando();
};

void TestImportaVCard::rilascio_data()
{
    QTest::addColumn<bool>("si");
    QTest::addColumn<bool>("suCasella"); // dropped on an edit box rather than on the window
    QTest::newRow("Sì") << true << false;
    QTest::newRow("Sì, su una casella") << true << true;
    QTest::newRow("No") << false << false;
}

void TestImportaVCard::rilascio()
{
    QFETCH(bool, si);
    QFETCH(bool, suCasella);
    BancoContatti banco;
    QVERIFY(banco.mostra());
    const QByteArray prima = byte(schedaTipica(1)) + byte(schedaTipica(2));
    QVERIFY(scrivi(banco.archivio(), prima));
    const QString file = banco.cartella() + QStringLiteral("/nuovi.vcf");
    QVERIFY(scrivi(file, kDueSchede));
    banco.messaggi.answers = {si};

    QWidget* bersaglio = suCasella ? static_cast<QWidget*>(banco.finestra()->txtEmail) : banco.finestra();
    QVERIFY(trascina(bersaglio, file));

    QCOMPARE(banco.messaggi.entries.size(), si ? 2 : 1);
    QCOMPARE(banco.messaggi.entries[0].caption, QStringLiteral("Importazione contatti"));
    QCOMPARE(banco.messaggi.entries[0].text, QStringLiteral("Importare 2 contatti nell'archivio?"));
    if (!si) {
        QCOMPARE(leggi(banco.archivio()), prima);
        QCOMPARE(banco.finestra()->lblPosizione->text(), QString());
        return;
    }
    QCOMPARE(banco.messaggi.entries[1].text, QStringLiteral("Importati 2 contatti nell'archivio, dalla posizione 3."));
    QCOMPARE(leggi(banco.archivio()).size(), 4 * kRecord);
    QCOMPARE(leggi(banco.archivio()).first(prima.size()), prima);
    // The first card added, at its place, as browsing shows it; the text dropped went to no box.
    QCOMPARE(banco.finestra()->lblPosizione->text(), QStringLiteral("3"));
    QCOMPARE(banco.finestra()->txtCognome->text(), QStringLiteral("Rossi"));
    QCOMPARE(banco.finestra()->txtEmail->text(), QStringLiteral("mario@rossi.it"));
    QVERIFY(!QFile::exists(banco.temporaneo()));
}

void TestImportaVCard::fileNonVCardRifiutato()
{
    BancoContatti banco;
    QVERIFY(banco.mostra());
    const QByteArray prima = byte(schedaTipica(1));
    QVERIFY(scrivi(banco.archivio(), prima));

    // Not a .vcf name: the drag is not taken at all.
    const QString testo = banco.cartella() + QStringLiteral("/note.txt");
    QVERIFY(scrivi(testo, kDueSchede));
    QVERIFY(!trascina(banco.finestra(), testo));

    // Named .vcf but binary, empty, or gone: the message, nothing asked, the archive untouched.
    const QString binario = banco.cartella() + QStringLiteral("/foto.vcf");
    QVERIFY(scrivi(binario, QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)));
    QVERIFY(trascina(banco.finestra(), binario));
    const QString vuoto = banco.cartella() + QStringLiteral("/vuoto.VCF");
    QVERIFY(scrivi(vuoto, QByteArray()));
    QVERIFY(trascina(banco.finestra(), vuoto));
    banco.finestra()->importaVCard(banco.cartella() + QStringLiteral("/manca.vcf"));

    QCOMPARE(banco.messaggi.entries.size(), 3);
    for (const FakeMessageService::Entry& e : banco.messaggi.entries) {
        QCOMPARE(int(e.kind), int(FakeMessageService::Kind::Message));
        QVERIFY2(e.text.startsWith(QStringLiteral("Attenzione: ")), qPrintable(e.text));
    }
    QVERIFY(banco.messaggi.entries[0].text.contains(QStringLiteral("foto.vcf")));
    QCOMPARE(leggi(banco.archivio()), prima);
    QCOMPARE(banco.finestra()->lblPosizione->text(), QString());
}

// The file the program was started with: the card window comes up and imports it.
void TestImportaVCard::daRigaDiComando()
{
    BancoContatti banco;
    const QString file = banco.cartella() + QStringLiteral("/aperto.vcf");
    QVERIFY(scrivi(file, kDueSchede));
    banco.messaggi.answers = {true};

    mostraPrimaFinestra(QUrl::fromLocalFile(file).toString());

    QVERIFY(banco.finestra()->isVisible());
    // One window: the main menu comes when the card window closes.
    QVERIFY(!frmCarnetto()->isVisible());
    QCOMPARE(banco.messaggi.texts(),
             QStringList({QStringLiteral("Importare 2 contatti nell'archivio?"),
                          QStringLiteral("Importati 2 contatti nell'archivio, dalla posizione 1.")}));
    QCOMPARE(leggi(banco.archivio()).size(), 2 * kRecord);
    QCOMPARE(banco.finestra()->lblPosizione->text(), QStringLiteral("1"));
    QCOMPARE(banco.finestra()->txtCognome->text(), QStringLiteral("Rossi"));
    banco.finestra()->close();
    QVERIFY(frmCarnetto()->isVisible());
}

QTEST_MAIN(TestImportaVCard)
#include "TestImportaVCard.moc"
