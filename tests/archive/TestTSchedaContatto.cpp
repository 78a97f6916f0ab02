#include "archive/CampiScheda.h"
#include "archive/TSchedaContatto.h"

#include <QTest>

#include <cstring>

class TestTSchedaContatto : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void campo_data();
    void campo();
    void schedaVuotaTuttaZero();
};

void TestTSchedaContatto::campo_data()
{
    QTest::addColumn<int>("indice");
    QTest::addColumn<QString>("nome");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("capacita");
    QTest::addColumn<QString>("editBox");
    QTest::addColumn<QString>("caption");

    auto riga = [](int i, const char* nome, int offset, int capacita, const char* caption) {
        QTest::newRow(nome) << i << QString::fromLatin1(nome) << offset << capacita
                            << QString(QStringLiteral("txt") + QString::fromLatin1(nome)) << QString::fromUtf8(caption);
    };
    riga(Cognome, "Cognome", 0, 50, "Cognome:");
    riga(Nome, "Nome", 51, 50, "Nome:");
    riga(Azienda, "Azienda", 102, 50, "Azienda:");
    riga(Via, "Via", 153, 120, "Indirizzo:");
    riga(Citta, "Citta", 274, 50, "Città:");
    riga(Cap, "Cap", 325, 5, "CAP:");
    riga(Prov, "Prov", 331, 50, "Provincia:");
    riga(Stato, "Stato", 382, 50, "Stato:");
    riga(Tel, "Tel", 433, 30, "Telefono:");
    riga(Fax, "Fax", 464, 30, "Fax:");
    riga(Cellulare, "Cellulare", 495, 30, "Cellulare:");
    riga(Email, "Email", 526, 120, "E-mail:");
    riga(Web, "Web", 647, 220, "Sito Internet:");
    riga(CodFisc, "CodFisc", 868, 16, "Codice fiscale:");
    riga(Iva, "Iva", 885, 11, "Partita IVA:");
    riga(Note, "Note", 897, 250, "Note:");
}

void TestTSchedaContatto::campo()
{
    QFETCH(int, indice);
    const CampoScheda& c = kCampiScheda[indice];
    QTEST(QString::fromLatin1(c.nome), "nome");
    QTEST(c.offset, "offset");
    QTEST(c.capacita, "capacita");
    QTEST(QString::fromLatin1(c.editBox), "editBox");
    QTEST(QString::fromUtf8(c.caption), "caption");
}

void TestTSchedaContatto::schedaVuotaTuttaZero()
{
    unsigned char sporco[sizeof(TSchedaContatto)];
    std::memset(sporco, 0xAB, sizeof sporco);
    auto* scheda = new (sporco) TSchedaContatto{};
    const unsigned char zeri[sizeof(TSchedaContatto)] = {};
    QVERIFY(std::memcmp(scheda, zeri, sizeof zeri) == 0);
}

QTEST_GUILESS_MAIN(TestTSchedaContatto)
#include "TestTSchedaContatto.moc"
