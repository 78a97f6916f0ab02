#include "archive/RigaLista.h"
#include "archive/TestiScheda.h"

#include "support/SchedeDiProva.h"

#include <QTest>

#include <cstring>

namespace {

QString blanks(int n)
{
    return QString(n, u' ');
}

TSchedaContatto daTesti(const TestiScheda& testi)
{
    TSchedaContatto s{};
    schedaDaTesti(s, testi);
    return s;
}

// Writes a slot's bytes as another program might: untrimmed, or with a length byte of its own.
void slotGrezzo(TSchedaContatto& s, Campo campo, QByteArray byte, int lunghezza = -1)
{
    char* slot = reinterpret_cast<char*>(&s) + kCampiScheda[campo].offset;
    const int capacita = kCampiScheda[campo].capacity;
    slot[0] = char(lunghezza >= 0 ? lunghezza : byte.size());
    std::memcpy(slot + 1, byte.constData(), std::min<int>(byte.size(), capacita));
}

} // namespace

// The list line of a card: thirteen pieces of fixed width, trimmed fields padded or cut to their columns.
class TestRigaLista : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void riga_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("attesa");

        TestiScheda rossi = SchedeDiProva::testiRossi();
        // The fields the line leaves out must not show in it.
        rossi[Via] = QStringLiteral("Via Appia 1");
        rossi[Note] = QStringLiteral("nota");
        rossi[Email] = QStringLiteral("mario@rossi.it");
        const TSchedaContatto sRossi = daTesti(rossi);
        QTest::newRow("Rossi") << QByteArray(reinterpret_cast<const char*>(&sRossi), sizeof sRossi)
                               << QStringLiteral("Rossi") + blanks(15) + blanks(2) + QStringLiteral("Mario") +
                                      blanks(15) + blanks(2) + QStringLiteral("Alfa Srl") + blanks(12) +
                                      QStringLiteral("   CF: ") + QStringLiteral("RSSMRA80A01H501U") +
                                      QStringLiteral("   P.IVA: ") + QStringLiteral("01234567890") + blanks(2) +
                                      QStringLiteral("Roma") + blanks(21) + QStringLiteral("  Tel. ") +
                                      QStringLiteral("06 1234567") + blanks(10);

        const TSchedaContatto vuota{};
        const QString rigaVuota = blanks(20 + 2 + 20 + 2 + 20) + QStringLiteral("   CF: ") + blanks(16) +
                                  QStringLiteral("   P.IVA: ") + blanks(11) + blanks(2 + 25) +
                                  QStringLiteral("  Tel. ") + blanks(20);
        QTest::newRow("all empty") << QByteArray(reinterpret_cast<const char*>(&vuota), sizeof vuota) << rigaVuota;

        // Longer than their columns: cut. The surname is 25 characters, the city 30, the telephone 30.
        TestiScheda lunghi;
        lunghi[Cognome] = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXY");
        lunghi[Nome] = QStringLiteral("12345678901234567890");
        lunghi[Azienda] = QStringLiteral("Ditta con un nome molto lungo");
        lunghi[Citta] = QStringLiteral("San Giovanni in Fiore di Sotto");
        lunghi[Tel] = QStringLiteral("+39 06 1234567 int. 89 o 90 91");
        const TSchedaContatto sLunghi = daTesti(lunghi);
        QTest::newRow("cut") << QByteArray(reinterpret_cast<const char*>(&sLunghi), sizeof sLunghi)
                             << QStringLiteral("ABCDEFGHIJKLMNOPQRST") + blanks(2) +
                                    QStringLiteral("12345678901234567890") + blanks(2) +
                                    QStringLiteral("Ditta con un nome mo") + QStringLiteral("   CF: ") + blanks(16) +
                                    QStringLiteral("   P.IVA: ") + blanks(11) + blanks(2) +
                                    QStringLiteral("San Giovanni in Fiore di ") + QStringLiteral("  Tel. ") +
                                    QStringLiteral("+39 06 1234567 int. ");

        // Stored untrimmed by another program: blanks, tabs and line ends at both ends go, inner blanks and
        // the no-break blank (0xA0) stay, a length byte above the capacity counts as the capacity, and the
        // accented letters and the euro sign come out of the code page.
        TSchedaContatto grezza{};
        slotGrezzo(grezza, Cognome, QByteArray("\t  De Luca \r\n"));
        slotGrezzo(grezza, Nome, QByteArray("\xA0Niccol\xF2 "));
        slotGrezzo(grezza, Azienda, QByteArray("   "));
        slotGrezzo(grezza, CodFisc, QByteArray("dlcncc80a01h501z"));
        slotGrezzo(grezza, Iva, QByteArray("0123456789012345"), 200);
        slotGrezzo(grezza, Citta, QByteArray(" Citt\xE0 \x80"));
        slotGrezzo(grezza, Tel,
                   QByteArray("06 1\x00"
                              "2",
                              6));
        QTest::newRow("trimmed") << QByteArray(reinterpret_cast<const char*>(&grezza), sizeof grezza)
                                 << QStringLiteral("De Luca") + blanks(13) + blanks(2) +
                                        QStringLiteral("\u00A0Niccolò") + blanks(12) + blanks(2) + blanks(20) +
                                        QStringLiteral("   CF: ") + QStringLiteral("dlcncc80a01h501z") +
                                        QStringLiteral("   P.IVA: ") + QStringLiteral("01234567890") + blanks(2) +
                                        QStringLiteral("Città €") + blanks(18) + QStringLiteral("  Tel. ") +
                                        QStringLiteral("06 1") + QChar(0) + QStringLiteral("2") + blanks(14);
    }

    void riga()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, attesa);
        TSchedaContatto s;
        QCOMPARE(record.size(), qsizetype(sizeof s));
        std::memcpy(&s, record.constData(), sizeof s);
        QCOMPARE(attesa.size(), kLunghezzaRigaLista);
        const QString riga = rigaLista(s);
        QCOMPARE(riga.size(), kLunghezzaRigaLista);
        for (int i = 0; i < kLunghezzaRigaLista; ++i) {
            if (riga.at(i) != attesa.at(i))
                QFAIL(qPrintable(QStringLiteral("character %1: '%2' where '%3' was expected\n%4\n%5")
                                     .arg(i)
                                     .arg(riga.at(i))
                                     .arg(attesa.at(i))
                                     .arg(riga, attesa)));
        }
    }
};

QTEST_APPLESS_MAIN(TestRigaLista)
#include "TestRigaLista.moc"
