#include "cards/RegoleCampi.h"

#include <QTest>

// The field rules of the card window that need no window, one table each.
class TestRegoleCampi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void completaIndirizzoWeb_data();
    void completaIndirizzoWeb();
    void indirizzoWebDaAprire_data();
    void indirizzoWebDaAprire();
    void indirizzoEmailDaAprire_data();
    void indirizzoEmailDaAprire();
};

void TestRegoleCampi::completaIndirizzoWeb_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("vuoto") << ""
                           << "http://";
    QTest::newRow("solo spazi") << "   "
                                << "http://";
    QTest::newRow("tab e a capo") << "\t\r\n"
                                  << "http://";
    QTest::newRow("senza prefisso") << "www.esempio.it"
                                    << "http://www.esempio.it";
    QTest::newRow("senza prefisso, tra spazi") << "  www.esempio.it\t"
                                               << "http://www.esempio.it";
    QTest::newRow("http") << "http://www.esempio.it"
                          << "http://www.esempio.it";
    QTest::newRow("https") << "https://www.esempio.it"
                           << "https://www.esempio.it";
    QTest::newRow("ftp") << "ftp://ftp.esempio.it"
                         << "ftp://ftp.esempio.it";
    // The prefix is looked for in the untrimmed text, and a text that has one is left as it is.
    QTest::newRow("http con spazi in fondo") << "http://a.it  "
                                             << "http://a.it  ";
    QTest::newRow("spazio prima di http") << " http://a.it"
                                          << "http://http://a.it";
    QTest::newRow("solo http://") << "http://"
                                  << "http://";
    // Case-sensitive, as the user has always seen it.
    QTest::newRow("HTTP maiuscolo") << "HTTP://A.IT"
                                    << "http://HTTP://A.IT";
    QTest::newRow("Https") << "Https://a.it"
                           << "http://Https://a.it";
    QTest::newRow("ftp senza barre") << "ftp:f.it"
                                     << "http://ftp:f.it";
    QTest::newRow("http senza barre") << "http:a.it"
                                      << "http://http:a.it";
    // Only codes up to 32 are trimmed: the no-break blank stays.
    QTest::newRow("spazio indivisibile") << "\u00A0a.it"
                                         << "http://\u00A0a.it";
}

void TestRegoleCampi::completaIndirizzoWeb()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(::completaIndirizzoWeb(testo), atteso);
}

void TestRegoleCampi::indirizzoWebDaAprire_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("senza schema") << "www.esempio.it"
                                  << "http://www.esempio.it";
    QTest::newRow("senza schema, tra spazi") << " www.esempio.it \r\n"
                                             << "http://www.esempio.it";
    QTest::newRow("con porta") << "www.esempio.it:8080/x"
                               << "http://www.esempio.it:8080/x";
    QTest::newRow("host e porta") << "localhost:8080"
                                  << "http://localhost:8080";
    QTest::newRow("vuoto") << ""
                           << "http://";
    QTest::newRow("http tra spazi") << "  http://a.it  "
                                    << "http://a.it";
    QTest::newRow("https") << "https://a.it"
                           << "https://a.it";
    QTest::newRow("ftp") << "ftp://f.it"
                         << "ftp://f.it";
    // A text with a scheme of its own keeps it if it is http, https or ftp; any other opens nothing.
    QTest::newRow("HTTP maiuscolo") << "HTTP://A.IT" << "HTTP://A.IT";
    QTest::newRow("Ftp senza barre") << " Ftp:f.it" << "Ftp:f.it";
    QTest::newRow("file") << "file:///etc/passwd" << "";
    QTest::newRow("javascript") << "javascript:alert(1)" << "";
    QTest::newRow("smb") << "smb://server/condivisa" << "";
    QTest::newRow("mailto") << "mailto:a@b.it" << "";
    QTest::newRow("schema con segni") << "svn+ssh://h/r" << "";
    QTest::newRow("due punti in fondo") << "esempio:" << "";
    QTest::newRow("percorso") << "/usr/bin/xterm"
                              << "http:///usr/bin/xterm";
}

void TestRegoleCampi::indirizzoWebDaAprire()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(::indirizzoWebDaAprire(testo), atteso);
}

void TestRegoleCampi::indirizzoEmailDaAprire_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("semplice") << "m@esempio.it"
                              << "mailto:m@esempio.it";
    QTest::newRow("spazi") << "  m@esempio.it "
                           << "mailto:m@esempio.it";
    QTest::newRow("tab, a capo e controlli") << "\t\x01m@esempio.it\r\n\x1f"
                                             << "mailto:m@esempio.it";
    QTest::newRow("canc e controlli oltre 127") << "\x7f\u0085m@esempio.it\u009f"
                                                << "mailto:m@esempio.it";
    QTest::newRow("spazio indivisibile") << "\u00A0m@esempio.it\u00A0"
                                         << "mailto:m@esempio.it";
    QTest::newRow("spazio a larghezza zero") << "\u200Bm@esempio.it\u200B"
                                             << "mailto:m@esempio.it";
    QTest::newRow("segni di direzione e BOM") << "\uFEFF\u200Em@esempio.it\u200F"
                                              << "mailto:m@esempio.it";
    // Only the ends: what stands inside the address is the address, for the shell service to encode.
    QTest::newRow("spazio interno") << " a b@c.it "
                                    << "mailto:a b@c.it";
    QTest::newRow("solo controlli") << "\t\u200B "
                                    << "mailto:";
    QTest::newRow("accentata") << "forl\u00EC@b.it"
                               << "mailto:forl\u00EC@b.it";
}

void TestRegoleCampi::indirizzoEmailDaAprire()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(::indirizzoEmailDaAprire(testo), atteso);
}

QTEST_MAIN(TestRegoleCampi)
#include "TestRegoleCampi.moc"
