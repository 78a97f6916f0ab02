#include "cards/TfrmContatti.h"
#include "search/TfrmTrovaContatti.h"
#include "search/VistaRighe.h"
#include "support/ModaleAttesa.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"
#include "tests/cards/BancoContatti.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace SchedeDiProva;

// From the card window, as a person does it: "Cerca", a fragment of the card, "Trova", a double click on the
// line found, a change, "Salva" over the card's own record.
class TestRicercaDaContatti : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trovaCaricaSalva()
    {
        BancoContatti banco;
        TestiScheda cercata = testiTipici(2);
        cercata[Cognome] = QStringLiteral("Rossi");
        cercata[Nome] = QStringLiteral("Mario");
        QByteArray contenuto = archivio(QList<int>{1});
        TSchedaContatto s = scheda(2, cercata);
        contenuto += byte(s) + archivio(QList<int>{3, 4});
        QVERIFY(scrivi(banco.archivio(), contenuto));
        QVERIFY(banco.mostra());
        TfrmContatti* carte = banco.finestra();

        QString selezionata;
        bool visibileMentreAperta = false;
        ModaleAttesa attesa([&](QWidget* modale) {
            auto* ricerca = qobject_cast<TfrmTrovaContatti*>(modale);
            if (!ricerca)
                return;
            visibileMentreAperta = carte->isVisible();
            QTest::keyClicks(ricerca->txtTrova, QStringLiteral("ROSSI"));
            QTest::mouseClick(ricerca->cmdTrova, Qt::LeftButton);
            const int riga = ricerca->lstRecords->rigaSelezionata();
            selezionata = ricerca->lista().riga(riga);
            const QRect dove = ricerca->lstRecords->visualRect(ricerca->lstRecords->model()->index(riga, 0));
            QTest::mouseDClick(ricerca->lstRecords->viewport(), Qt::LeftButton, {}, dove.center());
        });
        QTest::mouseClick(banco.controllo("lblTrova"), Qt::LeftButton);
        QCOMPARE(attesa.viste(), 1);
        QVERIFY(visibileMentreAperta);
        QVERIFY(selezionata.startsWith(QStringLiteral("Rossi")));

        // The card is in the boxes, trimmed, with its position.
        for (int c = 0; c < kNumeroCampi; ++c)
            QCOMPARE(carte->campo(Campo(c))->text(), testiDaScheda(s)[c]);
        QCOMPARE(carte->lblPosizione->text(), QStringLiteral("2"));

        carte->campo(Tel)->setText(QStringLiteral("06 7654321"));
        QTest::mouseClick(banco.controllo("lblSalva"), Qt::LeftButton);
        QCOMPARE(banco.messaggi.texts(), QStringList{TestiAttesi::kModificheSalvate});
        const QByteArray dopo = leggi(banco.archivio());
        QCOMPARE(dopo.size(), contenuto.size());
        QCOMPARE(dopo.first(kRecord), contenuto.first(kRecord));
        QCOMPARE(dopo.sliced(2 * kRecord), contenuto.sliced(2 * kRecord));
        TestiScheda attesi = testiDaScheda(s);
        attesi[Tel] = QStringLiteral("06 7654321");
        QCOMPARE(testiDaScheda(record(dopo, 1)), attesi);
    }

    // The archive fails: the archive message over the card window, and no search window.
    void archivioInaccessibile()
    {
        BancoContatti banco;
        QVERIFY(archivioCartella(banco.cartella()));
        QVERIFY(banco.mostra());
        ModaleAttesa attesa;
        QTest::mouseClick(banco.controllo("imgTrova"), Qt::LeftButton);
        QCOMPARE(attesa.viste(), 0);
        QCOMPARE(banco.messaggi.texts(), QStringList{TestiAttesi::kErroreArchivio});
        QCOMPARE(banco.finestra()->lblPosizione->text(), QString());
    }
};

QTEST_MAIN(TestRicercaDaContatti)
#include "TestRicercaDaContatti.moc"
