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
    QTest::addColumn<QString>("editBox");
    QTest::addColumn<QString>("caption");

    // Offsets and capacities are not repeated here: TSchedaContatto.h checks them when it compiles, and
    // kCampiScheda takes them from the struct itself.
    auto riga = [](int i, const char* nome, const char* caption) {
        QTest::newRow(nome) << i << QString::fromLatin1(nome)
                            << QString(QStringLiteral("txt") + QString::fromLatin1(nome)) << QString::fromUtf8(caption);
    };
    riga(Cognome, "Cognome", "Cognome:");
    riga(Nome, "Nome", "Nome:");
    riga(Azienda, "Azienda", "Azienda:");
    riga(Via, "Via", "Indirizzo:");
    riga(Citta, "Citta", "Città:");
    riga(Cap, "Cap", "CAP:");
    riga(Prov, "Prov", "Provincia:");
    riga(Stato, "Stato", "Stato:");
    riga(Tel, "Tel", "Telefono:");
    riga(Fax, "Fax", "Fax:");
    riga(Cellulare, "Cellulare", "Cellulare:");
    riga(Email, "Email", "E-mail:");
    riga(Web, "Web", "Sito Internet:");
    riga(CodFisc, "CodFisc", "Codice fiscale:");
    riga(Iva, "Iva", "Partita IVA:");
    riga(Note, "Note", "Note:");
}

void TestTSchedaContatto::campo()
{
    QFETCH(int, indice);
    const CampoScheda& c = kCampiScheda[indice];
    QTEST(QString::fromLatin1(c.name), "nome");
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
