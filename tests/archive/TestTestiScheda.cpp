#include "archive/Cp1252.h"
#include "archive/TestiScheda.h"

#include <QTest>

#include <cstring>

namespace {

const char* grezzo(const TSchedaContatto& s)
{
    return reinterpret_cast<const char*>(&s);
}

char* grezzo(TSchedaContatto& s)
{
    return reinterpret_cast<char*>(&s);
}

// Puts bytes straight into a slot, the way another tool might have written them.
void scriviSlot(TSchedaContatto& s, Campo campo, int lunghezza, QByteArrayView byte)
{
    char* slot = grezzo(s) + kCampiScheda[campo].offset;
    slot[0] = char(lunghezza);
    std::memcpy(slot + 1, byte.data(), byte.size());
}

QByteArray slotGrezzo(const TSchedaContatto& s, Campo campo)
{
    return QByteArray(grezzo(s) + kCampiScheda[campo].offset, 1 + kCampiScheda[campo].capacity);
}

// A text that fills the field exactly, with accented letters and the euro sign, starting and ending with a
// letter so that trimming keeps it whole.
QString testoPieno(int capacita)
{
    const QString giro = QStringLiteral("àèéìòù€ Ab");
    QString testo;
    for (int i = 0; testo.size() < capacita; ++i)
        testo += giro.at(i % giro.size());
    testo[0] = QLatin1Char('Z');
    testo[capacita - 1] = QLatin1Char('Q');
    return testo;
}

} // namespace

class TestTestiScheda : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void capacitaPienaTornaUguale();
    void salvataggio_data();
    void salvataggio();
    void caricamento_data();
    void caricamento();
    void lunghezzaOltreCapacita_data();
    void lunghezzaOltreCapacita();
    void schedaAZeroTuttaVuota();
    void resteDelloSlotRestano();
};

void TestTestiScheda::capacitaPienaTornaUguale()
{
    TestiScheda testi;
    for (int i = 0; i < kNumeroCampi; ++i)
        testi[i] = testoPieno(kCampiScheda[i].capacity);

    TSchedaContatto scheda{};
    schedaDaTesti(scheda, testi);

    QCOMPARE(testiDaScheda(scheda), testi);
    for (int i = 0; i < kNumeroCampi; ++i) {
        const int capacita = kCampiScheda[i].capacity;
        const QByteArray slot = slotGrezzo(scheda, Campo(i));
        QCOMPARE(int(quint8(slot[0])), capacita);
        QCOMPARE(slot.mid(1), toCp1252(testi[i]));
        QCOMPARE(testoCampo(scheda, Campo(i)), testi[i]);
    }
    QCOMPARE(quint8(scheda.Cap.len), quint8(5));
    QCOMPARE(quint8(grezzo(scheda)[1 + 50]), quint8(50)); // Nome's length byte right after Cognome's text
}

// What a save stores for a text typed into one box.
void TestTestiScheda::salvataggio_data()
{
    QTest::addColumn<int>("campo");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QByteArray>("memorizzato");
    QTest::addColumn<QString>("ricaricato");

    QTest::newRow("CAP di 5 cifre") << int(Cap) << QStringLiteral("00184") << QByteArray("00184")
                                    << QStringLiteral("00184");
    QTest::newRow("blank ai lati tolti") << int(Cognome) << QStringLiteral("  De Luca \t") << QByteArray("De Luca")
                                         << QStringLiteral("De Luca");
    QTest::newRow("CAP troppo lungo troncato")
        << int(Cap) << QStringLiteral("0018499") << QByteArray("00184") << QStringLiteral("00184");
    QTest::newRow("troncato su un blank")
        << int(Cap) << QStringLiteral("0018 9") << QByteArray("0018 ") << QStringLiteral("0018");
    QTest::newRow("Note, ultimo, troncato")
        << int(Note) << QString(300, QLatin1Char('n')) << QByteArray(250, 'n') << QString(250, QLatin1Char('n'));
    QTest::newRow("Iva troncata") << int(Iva) << QStringLiteral("IT01234567890") << QByteArray("IT012345678")
                                  << QStringLiteral("IT012345678");
    QTest::newRow("solo blank") << int(Note) << QStringLiteral(" \r\n ") << QByteArray() << QString();
    QTest::newRow("web preimpostato") << int(Web) << QStringLiteral("http://") << QByteArray("http://")
                                      << QStringLiteral("http://");
    QTest::newRow("non rappresentabile") << int(Citta) << QStringLiteral("Łódź")
                                         << QByteArray("?\xF3"
                                                       "d?")
                                         << QStringLiteral("?ód?");
    QTest::newRow("NBSP resta") << int(Nome) << QStringLiteral("\u00a0Anna")
                                << QByteArray("\xA0"
                                              "Anna")
                                << QStringLiteral("\u00a0Anna");
    QTest::newRow("emoji conta uno") << int(Cap) << QStringLiteral("\U0001F600\U0001F600abcd") << QByteArray("??abc")
                                     << QStringLiteral("??abc");
}

void TestTestiScheda::salvataggio()
{
    QFETCH(int, campo);
    QFETCH(QString, testo);
    QFETCH(QByteArray, memorizzato);

    TestiScheda testi;
    testi[campo] = testo;
    TSchedaContatto scheda{};
    schedaDaTesti(scheda, testi);

    // The whole record, so that a text spilling past its slot shows even where the next slot hides it.
    QByteArray atteso(sizeof scheda, '\0');
    atteso[kCampiScheda[campo].offset] = char(memorizzato.size());
    atteso.replace(kCampiScheda[campo].offset + 1, memorizzato.size(), memorizzato);
    QCOMPARE(QByteArray(grezzo(scheda), sizeof scheda), atteso);
    QTEST(testiDaScheda(scheda)[campo], "ricaricato");
}

// What a load shows for bytes another tool may have written.
void TestTestiScheda::caricamento_data()
{
    QTest::addColumn<int>("campo");
    QTest::addColumn<int>("lunghezza");
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("mostrato");

    QTest::newRow("blank ai lati") << int(Nome) << 9 << QByteArray(" Mario\t\r\n") << QStringLiteral("Mario");
    QTest::newRow("oltre la lunghezza ignorato") << int(Nome) << 3 << QByteArray("AnnaXYZ") << QStringLiteral("Ann");
    QTest::newRow("lunghezza zero") << int(Nome) << 0 << QByteArray("Anna") << QString();
    QTest::newRow("NUL nel testo") << int(Tel) << 4 << QByteArray("06\0001", 4) << QString::fromLatin1("06\0001", 4);
    QTest::newRow("accenti ed euro") << int(Note) << 4 << QByteArray("\xE8 \x80!") << QStringLiteral("è €!");
}

void TestTestiScheda::caricamento()
{
    QFETCH(int, campo);
    QFETCH(int, lunghezza);
    QFETCH(QByteArray, byte);

    TSchedaContatto scheda{};
    scriviSlot(scheda, Campo(campo), lunghezza, byte);
    QTEST(testiDaScheda(scheda)[campo], "mostrato");
    QTEST(testoCampo(scheda, Campo(campo)), "mostrato");
}

// A length byte above the capacity reads the capacity and nothing beyond: not the next slot, and for the last
// slot nothing past the record.
void TestTestiScheda::lunghezzaOltreCapacita_data()
{
    QTest::addColumn<int>("campo");
    QTest::newRow("Cap") << int(Cap);
    QTest::newRow("Iva") << int(Iva);
    QTest::newRow("Note, ultimo") << int(Note);
}

void TestTestiScheda::lunghezzaOltreCapacita()
{
    QFETCH(int, campo);
    const int capacita = kCampiScheda[campo].capacity;

    struct
    {
        TSchedaContatto scheda;
        char guardia[16];
    } memoria;
    std::memset(&memoria, '#', sizeof memoria);
    scriviSlot(memoria.scheda, Campo(campo), 255, QByteArray(capacita, 'k'));

    const QString atteso(capacita, QLatin1Char('k'));
    QCOMPARE(testoCampo(memoria.scheda, Campo(campo)), atteso);
    QCOMPARE(testiDaScheda(memoria.scheda)[campo], atteso);
    QCOMPARE(byteCampo(memoria.scheda, Campo(campo)).size(), qsizetype(capacita));
}

void TestTestiScheda::schedaAZeroTuttaVuota()
{
    const TSchedaContatto scheda{};
    for (const QString& testo : testiDaScheda(scheda))
        QVERIFY(testo.isEmpty());
}

// The record buffer is reused from card to card: a save replaces only each length byte and the characters it
// counts, and the leftovers behind them never reach the screen.
void TestTestiScheda::resteDelloSlotRestano()
{
    TSchedaContatto scheda{};
    TestiScheda testi;
    testi[Cognome] = QStringLiteral("Bianchissimo");
    schedaDaTesti(scheda, testi);
    const QByteArray prima = QByteArray(grezzo(scheda), sizeof scheda);

    testi[Cognome] = QStringLiteral("Rossi");
    schedaDaTesti(scheda, testi);

    QByteArray atteso = prima;
    atteso[0] = char(5);
    atteso.replace(1, 5, "Rossi");
    QCOMPARE(QByteArray(grezzo(scheda), sizeof scheda), atteso);
    QCOMPARE(testoCampo(scheda, Cognome), QStringLiteral("Rossi"));
}

QTEST_GUILESS_MAIN(TestTestiScheda)
#include "TestTestiScheda.moc"
