#include "vcard/CodecVCard.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

#include <cstring>

namespace {

// A card as "Campo=testo" pairs of its non-empty fields, in field order, parted by " ¦ ".
QString descrivi(const TestiScheda& testi)
{
    QStringList parti;
    for (int i = 0; i < kNumeroCampi; ++i) {
        if (!testi[i].isEmpty())
            parti << QString::fromLatin1(kCampiScheda[i].name) + QLatin1Char('=') + testi[i];
    }
    return parti.join(QStringLiteral(" ¦ "));
}

QStringList descrivi(const QList<TestiScheda>& schede)
{
    QStringList out;
    for (const TestiScheda& s : schede)
        out << descrivi(s);
    return out;
}

TestiScheda scheda(std::initializer_list<std::pair<Campo, QString>> campi)
{
    TestiScheda t;
    for (const auto& [campo, testo] : campi)
        t[campo] = testo;
    return t;
}

QByteArray crlf(const char* testo)
{
    return QByteArray(testo).replace("\n", "\r\n");
}

// The text in UTF-16 without a byte order mark, as some desktop address books save it.
QByteArray utf16(const QString& testo, bool bigEndian)
{
    QByteArray out;
    for (QChar c : testo) {
        const char alto = char(c.unicode() >> 8);
        const char basso = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray(1, alto) + basso : QByteArray(1, basso) + alto;
    }
    return out;
}

QByteArray rigaUid(const QByteArray& vcard)
{
    const qsizetype inizio = vcard.indexOf("UID:");
    return inizio < 0 ? QByteArray() : vcard.mid(inizio, vcard.indexOf("\r\n", inizio) - inizio);
}

// Every field filled, with the characters the escapes and the code page are about.
TestiScheda schedaCompleta()
{
    return scheda({{Cognome, QStringLiteral("D'Àngelo")},
                   {Nome, QStringLiteral("Niccolò")},
                   {Azienda, QStringLiteral("Caffè Rossi, Bianchi & C.; S.n.c.")},
                   {Via, QStringLiteral("Via dell'Università, 12; scala B")},
                   {Citta, QStringLiteral("Forlì")},
                   {Cap, QStringLiteral("47121")},
                   {Prov, QStringLiteral("FC")},
                   {Stato, QStringLiteral("Italia")},
                   {Tel, QStringLiteral("+39 0543 123456")},
                   {Fax, QStringLiteral("0543 654321")},
                   {Cellulare, QStringLiteral("333 1234567")},
                   {Email, QStringLiteral("niccolo@caffe-rossi.it")},
                   {Web, QStringLiteral("http://www.caffe-rossi.it/a,b;c")},
                   {CodFisc, QStringLiteral("DNGNCC80A01D704X")},
                   {Iva, QStringLiteral("01234567890")},
                   {Note, QStringLiteral("Prezzo 5 €, sconto; C:\\listini\\2026\r\nseconda riga")}});
}

} // namespace

class TestCodecVCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scrittura_data();
    void scrittura();
    void uid_data();
    void uid();
    void ripiegatura_data();
    void ripiegatura();
    void giroCompleto_data();
    void giroCompleto();
    void lettura_data();
    void lettura();
    void esito_data();
    void esito();
};

void TestCodecVCard::scrittura_data()
{
    QTest::addColumn<TestiScheda>("testi");
    QTest::addColumn<QByteArray>("atteso");

    QTest::newRow("scheda completa")
        << schedaCompleta()
        << crlf("BEGIN:VCARD\n"
                "VERSION:4.0\n"
                "N:D'Àngelo;Niccolò;;;\n"
                "FN:Niccolò D'Àngelo\n"
                "ORG:Caffè Rossi\\, Bianchi & C.\\; S.n.c.\n"
                "ADR;TYPE=work:;;Via dell'Università\\, 12\\; scala B;Forlì;FC;47121;Italia\n"
                "TEL:+39 0543 123456\n"
                "TEL;TYPE=fax:0543 654321\n"
                "TEL;TYPE=cell:333 1234567\n"
                "EMAIL:niccolo@caffe-rossi.it\n"
                "URL:http://www.caffe-rossi.it/a\\,b;c\n"
                "NOTE:Prezzo 5 €\\, sconto; C:\\\\listini\\\\2026\\nseconda riga\n"
                "X-CODICE-FISCALE:DNGNCC80A01D704X\n"
                "X-PARTITA-IVA:01234567890\n"
                "END:VCARD\n");
    QTest::newRow("solo azienda: FN è l'azienda, niente N")
        << scheda({{Azienda, QStringLiteral("Acme S.p.A.")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:Acme S.p.A.\nORG:Acme S.p.A.\nEND:VCARD\n");
    // The one UID spelled out, worked out apart from this code: SHA-1 of the name space and of the record's slots
    // without their unused bytes (5, "Rossi", fifteen zeros), as RFC 4122 builds a version 5 UUID.
    QTest::newRow("solo cognome") << scheda({{Cognome, QStringLiteral("Rossi")}})
                                  << crlf("BEGIN:VCARD\nVERSION:4.0\nN:Rossi;;;;\nFN:Rossi\n"
                                          "UID:urn:uuid:e7a1390e-7c28-549c-9515-a3424ffab701\nEND:VCARD\n");
    QTest::newRow("solo nome e CAP") << scheda({{Nome, QStringLiteral("Anna")}, {Cap, QStringLiteral("00100")}})
                                     << crlf("BEGIN:VCARD\nVERSION:4.0\nN:;Anna;;;\nFN:Anna\n"
                                             "ADR;TYPE=work:;;;;;00100;\nEND:VCARD\n");
    QTest::newRow("solo il web predefinito: FN vuoto, niente URL")
        << scheda({{Web, QStringLiteral("http://")}}) << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:\nEND:VCARD\n");
    QTest::newRow("senza nome né azienda: FN è l'e-mail; schema senza indirizzo")
        << scheda({{Email, QStringLiteral("anna@esempio.it")},
                   {Tel, QStringLiteral("06 1")},
                   {Web, QStringLiteral("ftp:")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:anna@esempio.it\nTEL:06 1\nEMAIL:anna@esempio.it\nEND:VCARD\n");
    QTest::newRow("senza nome, azienda né e-mail: FN è il telefono")
        << scheda({{Tel, QStringLiteral("06 1")}, {Cellulare, QStringLiteral("333")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:06 1\nTEL:06 1\nTEL;TYPE=cell:333\nEND:VCARD\n");
    QTest::newRow("solo cellulare e fax: FN è il cellulare")
        << scheda({{Cellulare, QStringLiteral("333")}, {Fax, QStringLiteral("06 2")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:333\nTEL;TYPE=fax:06 2\nTEL;TYPE=cell:333\nEND:VCARD\n");
    QTest::newRow("spazi agli estremi tolti, campo di soli spazi omesso")
        << scheda({{Cognome, QStringLiteral("  Rossi\t")}, {Email, QStringLiteral("   ")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nN:Rossi;;;;\nFN:Rossi\nEND:VCARD\n");
    QTest::newRow("CR LF e caratteri di controllo nelle note")
        << scheda({{Cognome, QStringLiteral("X")},
                   {Note, QStringLiteral("a\r\nb\rc\x01"
                                         "d\te")}})
        << crlf("BEGIN:VCARD\nVERSION:4.0\nN:X;;;;\nFN:X\nNOTE:a\\nb\\ncd\te\nEND:VCARD\n");
}

void TestCodecVCard::scrittura()
{
    QFETCH(TestiScheda, testi);
    QFETCH(QByteArray, atteso);
    QByteArray scritto = vCard(testi);
    // Every card ends with its UID; a row that does not spell it out is compared without it.
    static const QRegularExpression kUid(
        QStringLiteral("^UID:urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-5[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
    const QByteArray uid = rigaUid(scritto);
    QVERIFY2(kUid.match(QString::fromLatin1(uid)).hasMatch(), scritto.constData());
    QVERIFY(scritto.endsWith(QByteArray(uid + "\r\nEND:VCARD\r\n")));
    if (rigaUid(atteso).isEmpty())
        scritto.remove(scritto.indexOf(uid), uid.size() + 2);
    QCOMPARE(scritto, atteso);
}

void TestCodecVCard::uid_data()
{
    QTest::addColumn<TestiScheda>("prima");
    QTest::addColumn<TestiScheda>("dopo");
    QTest::addColumn<bool>("stessoUid");

    const TestiScheda rossi = scheda({{Cognome, QStringLiteral("Rossi")}, {Note, QStringLiteral("a\r\nb")}});
    QTest::newRow("spazi agli estremi: la stessa scheda")
        << rossi << scheda({{Cognome, QStringLiteral(" Rossi\t")}, {Note, QStringLiteral("a\r\nb\r\n")}}) << true;
    QTest::newRow("una lettera cambiata")
        << rossi << scheda({{Cognome, QStringLiteral("Rosi")}, {Note, QStringLiteral("a\r\nb")}}) << false;
    QTest::newRow("lo stesso testo in un altro campo")
        << rossi << scheda({{Nome, QStringLiteral("Rossi")}, {Note, QStringLiteral("a\r\nb")}}) << false;
    QTest::newRow("a capo diverso") << rossi
                                    << scheda({{Cognome, QStringLiteral("Rossi")}, {Note, QStringLiteral("a\nb")}})
                                    << false;
}

void TestCodecVCard::uid()
{
    QFETCH(TestiScheda, prima);
    QFETCH(TestiScheda, dopo);
    QFETCH(bool, stessoUid);
    QCOMPARE(rigaUid(vCard(prima)) == rigaUid(vCard(dopo)), stessoUid);
    // From the archive's record, whatever its slots hold after each text, the card is the same to the byte.
    for (const TestiScheda& testi : {prima, dopo}) {
        TSchedaContatto record;
        std::memset(&record, 0x5A, sizeof record);
        schedaDaTesti(record, testi);
        QByteArray daRecord;
        scriviVCard(record, daRecord);
        QCOMPARE(daRecord, vCard(testi));
    }
}

void TestCodecVCard::ripiegatura_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<QByteArray>("primaRiga");

    // "NOTE:" is 5 octets, so 70 more fill the first line exactly.
    const QString a70(70, QLatin1Char('a'));
    QTest::newRow("esattamente 75 ottetti: nessuna piega") << a70 << QByteArray("NOTE:") + a70.toUtf8();
    QTest::newRow("76 ottetti: piega dopo il 75°") << a70 + QStringLiteral("bc") << QByteArray("NOTE:") + a70.toUtf8();
    QTest::newRow("euro a cavallo della piega: va tutto alla riga dopo")
        << QString(69, QLatin1Char('a')) + QStringLiteral("€xyz") << QByteArray("NOTE:") + QByteArray(69, 'a');
    QTest::newRow("à che finisce al 75° ottetto: resta sulla prima riga")
        << QString(68, QLatin1Char('a')) + QStringLiteral("àxyz") << QByteArray("NOTE:") + QByteArray(68, 'a') + "à";
    QTest::newRow("escape a cavallo della piega")
        << QString(69, QLatin1Char('a')) + QStringLiteral(",b") << QByteArray("NOTE:") + QByteArray(69, 'a') + "\\";
    QTest::newRow("solo lettere accentate")
        << QString(250, QChar(0x00E8)) << QByteArray("NOTE:") + QString(35, QChar(0x00E8)).toUtf8();
}

void TestCodecVCard::ripiegatura()
{
    QFETCH(QString, note);
    QFETCH(QByteArray, primaRiga);

    TestiScheda testi;
    testi[Cognome] = QStringLiteral("R");
    testi[Note] = note;
    const QByteArray testo = vCard(testi);
    const QList<QByteArray> righe = testo.split('\n');
    QVERIFY(righe.contains(primaRiga + '\r'));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (const QByteArray& riga : righe) {
        QVERIFY2(riga.isEmpty() || riga.endsWith('\r'), riga.constData());
        QVERIFY2(riga.size() - 1 <= 75, riga.constData());
        (void)utf8.decode(riga);
        QVERIFY2(!utf8.hasError(), "a physical line is not valid UTF-8 on its own");
    }
    const LetturaVCard letta = leggiVCard(testo);
    QCOMPARE(letta.schede.size(), 1);
    QCOMPARE(letta.schede[0][Note], note);
}

void TestCodecVCard::giroCompleto_data()
{
    QTest::addColumn<TestiScheda>("testi");

    QTest::newRow("scheda completa con escape") << schedaCompleta();
    TestiScheda piena;
    for (int i = 0; i < kNumeroCampi; ++i)
        piena[i] = QString(kCampiScheda[i].capacity, QChar(0x00E0 + i % 8));
    QTest::newRow("ogni campo pieno fino alla capacità") << piena;
    QTest::newRow("azienda sola") << scheda({{Azienda, QStringLiteral("Studio Bianchi")}, {Tel, QStringLiteral("1")}});
    QTest::newRow("nome e cognome di più parole")
        << scheda({{Cognome, QStringLiteral("De Rossi Bianchi")}, {Nome, QStringLiteral("Maria Grazia")}});
    QTest::newRow("solo telefono") << scheda({{Tel, QStringLiteral("06 123")}});
    QTest::newRow("numeri scritti come URI tel: o con \"Tel:\" davanti") << scheda(
        {{Tel, QStringLiteral("tel:06123")}, {Fax, QStringLiteral("Tel: 06 5")}, {Cellulare, QStringLiteral("TEL:3")}});
    QTest::newRow("solo e-mail: FN non diventa un nome") << scheda({{Email, QStringLiteral("Anna Neri")}});
    QTest::newRow("solo note: FN è la prima riga") << scheda({{Note, QStringLiteral("uno due\r\ntre")}});
    QTest::newRow("web che nessun URI avrebbe: barre rovesciate")
        << scheda({{Cognome, QStringLiteral("X")}, {Web, QStringLiteral("C:\\a\\,b\\\\;c\\")}});
    QTest::newRow("caratteri speciali del codice 1252")
        << scheda({{Cognome, QStringLiteral("Š€‚ƒ„…†‡ˆ‰Œ‘’“”•–—˜™šœŸ")}, {Note, QStringLiteral("« » ¿ ß ÿ \u00A0x")}});
}

void TestCodecVCard::giroCompleto()
{
    QFETCH(TestiScheda, testi);
    const LetturaVCard letta = leggiVCard(QByteArray(vCard(testi) + vCard(testi)));
    QCOMPARE(letta.esito, LetturaVCard::Letta);
    QCOMPARE(letta.accorciate, 0);
    QCOMPARE(descrivi(letta.schede), QStringList({descrivi(testi), descrivi(testi)}));
}

void TestCodecVCard::lettura_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("schede");
    QTest::addColumn<int>("accorciate");

    QTest::newRow("3.0 di un telefono: quoted-printable con CHARSET e a capo morbidi")
        << crlf("BEGIN:VCARD\n"
                "VERSION:3.0\n"
                "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=80lvaro;Jos=C3=A9;;;\n"
                "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Jos=C3=A9 =C3=80lvaro\n"
                "TEL;CELL:+393331234567\n"
                "TEL;HOME;VOICE:061234\n"
                "TEL;WORK;FAX:067890\n"
                "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Prima riga=0D=0Aseconda riga con un t=\n"
                "esto lungo e =E2=82=AC\n"
                "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQ\n"
                " AAAQABAAD\n"
                "END:VCARD\n")
        << QStringList{QStringLiteral(
               "Cognome=Àlvaro ¦ Nome=José ¦ Tel=061234 ¦ Fax=067890 ¦ Cellulare=+393331234567 ¦ "
               "Note=Prima riga\r\nseconda riga con un testo lungo e €")}
        << 0;
    QTest::newRow("quoted-printable: l'ultima riga finisce per \"=\" prima di END")
        << crlf("BEGIN:VCARD\nVERSION:2.1\nN:Gialli;Ugo\n"
                "NOTE;ENCODING=QUOTED-PRINTABLE:a=3Db=\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Gialli ¦ Nome=Ugo ¦ Note=a=b")} << 0;
    QTest::newRow("2.1 in Windows-1252 dichiarato")
        << QByteArray(
               "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:Citt\xE0;Lu\xEC\r\n"
               "ADR;WORK;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:;;Via Po=2C 3;Forl=EC;;;\r\nEND:VCARD\r\n")
        << QStringList{QStringLiteral("Cognome=Città ¦ Nome=Luì ¦ Via=Via Po, 3 ¦ Citta=Forlì")} << 0;
    QTest::newRow("byte non UTF-8 senza CHARSET: letti come Windows-1252")
        << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:Perr\xF2;;;;\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Perrò")} << 0;
    QTest::newRow("più schede, alcune senza N")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:Mario Rossi\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:4.0\nFN:Acme S.p.A.\nORG:Acme S.p.A.;Vendite\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:4.0\nFN:Anna Maria De Luca\nORG:Luca srl\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:3.0\nN:;;;;\nFN:Prince\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:4.0\nN:Bianchi;Gino;;;\nFN:Dott. Gino Bianchi\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Rossi ¦ Nome=Mario"), QStringLiteral("Azienda=Acme S.p.A."),
                       QStringLiteral("Cognome=Luca ¦ Nome=Anna Maria De ¦ Azienda=Luca srl"),
                       QStringLiteral("Cognome=Prince"), QStringLiteral("Cognome=Bianchi ¦ Nome=Gino")}
        << 0;
    QTest::newRow("tipi di TEL: cell, fax, altro; il primo vince")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\n"
                "TEL;TYPE=home:111\nTEL;TYPE=\"voice,cell\":222\nTEL;TYPE=work;TYPE=fax:333\n"
                "TEL;VALUE=uri;TYPE=cell:tel:+39-444\nTEL:555\nTEL;TYPE=fax:666\n"
                "EMAIL;TYPE=work:a@b.it\nitem1.EMAIL;type=INTERNET:c@d.it\nURL:http://uno.it\nURL:http://due.it\n"
                "END:VCARD\n")
        << QStringList{QStringLiteral(
               "Cognome=X ¦ Tel=111 ¦ Fax=333 ¦ Cellulare=222 ¦ Email=a@b.it ¦ Web=http://uno.it")}
        << 0;
    QTest::newRow("URI tel: il numero, l'interno dove c'è posto")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nTEL;VALUE=uri;TYPE=\"voice,home\":tel:+39-06-1234;ext=5\n"
                "TEL;VALUE=uri;TYPE=fax:tel:+39-06-12345678901234567890;phone-context=x;ext=123\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Tel=+39-06-1234 int. 5 ¦ Fax=+39-06-12345678901234567890")} << 0;
    QTest::newRow("URI tel: senza VALUE, ma non un testo che comincia per \"Tel:\"")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nTEL:tel:+39061234\nTEL;TYPE=fax:Tel: 06 5\n"
                "TEL;VALUE=text;TYPE=cell:tel:333\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Tel=+39061234 ¦ Fax=Tel: 06 5 ¦ Cellulare=tel:333")} << 0;
    QTest::newRow("PREF di 4.0: vince il valore più basso, poi il primo")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nTEL;TYPE=home:1\nTEL;PREF=2:2\nTEL;TYPE=work;PREF=1:3\nTEL;PREF=1:4\n"
                "TEL;TYPE=cell:5\nTEL;TYPE=cell;PREF=1:6\nEMAIL:a@x.it\nEMAIL;PREF=1:b@x.it\n"
                "URL:http://uno.it\nURL;PREF=50:http://due.it\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Tel=3 ¦ Cellulare=6 ¦ Email=b@x.it ¦ Web=http://due.it")} << 0;
    QTest::newRow("TYPE=pref di 3.0 e PREF nudo di 2.1, anche sull'indirizzo")
        << crlf("BEGIN:VCARD\nVERSION:3.0\nFN:X\nEMAIL;TYPE=INTERNET:a@x.it\nEMAIL;TYPE=INTERNET,pref:b@x.it\n"
                "TEL;TYPE=CELL:1\nTEL;TYPE=CELL;TYPE=PREF:2\nADR;TYPE=home:;;Via A;Roma;;;\n"
                "ADR;TYPE=work,pref:;;Via B;Bari;;;\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:2.1\nN:Y\nTEL;WORK:7\nTEL;PREF;WORK:8\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Via=Via B ¦ Citta=Bari ¦ Cellulare=2 ¦ Email=b@x.it"),
                       QStringLiteral("Cognome=Y ¦ Tel=8")}
        << 0;
    QTest::newRow("il numero del cercapersone non è il telefono")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nTEL;TYPE=pager:111\nTEL:222\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:2.1\nN:Y\nTEL;PAGER:333\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Tel=222"), QStringLiteral("Cognome=Y")} << 0;
    QTest::newRow("quoted-printable: a capo morbido prima di una riga che inizia con uno spazio (RFC 2045)")
        << crlf("BEGIN:VCARD\nVERSION:2.1\nN:Z\nNOTE;ENCODING=QUOTED-PRINTABLE:Now's the time =\n"
                "for all folk to come=\n to the aid of their country.\nEND:VCARD\n")
        << QStringList{QStringLiteral(
               "Cognome=Z ¦ Note=Now's the time for all folk to come to the aid of their country.")}
        << 0;
    QTest::newRow("a capo nei testi: CR LF, come nell'archivio")
        << crlf("BEGIN:VCARD\nVERSION:2.1\nN:Z\nNOTE;ENCODING=QUOTED-PRINTABLE:a=0Ab=0Dc=0D=0Ad\nEND:VCARD\n"
                "BEGIN:VCARD\nVERSION:4.0\nN:W\nNOTE:uno\\ndue\\Ntre\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Z ¦ Note=a\r\nb\r\nc\r\nd"),
                       QStringLiteral("Cognome=W ¦ Note=uno\r\ndue\r\ntre")}
        << 0;
    QTest::newRow("punto e virgola nei testi semplici, con o senza escape; barre rovesciate nell'URL")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nNOTE:a;b\\;c\\,d\nEMAIL:x\\,y@z.it\nURL:http://x.it/"
                "a\\b;c\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Email=x,y@z.it ¦ Web=http://x.it/a\\b;c ¦ Note=a;b;c,d")} << 0;
    QTest::newRow("FN fatto dall'e-mail o dal telefono non è un nome; UID non tenuto")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:a@x.it\nEMAIL:a@x.it\nUID:urn:uuid:0f1e2d3c-0000-5000-8000-000000000000\n"
                "END:VCARD\nBEGIN:VCARD\nVERSION:4.0\nFN:06 1\nTEL;TYPE=home:06 1\nEND:VCARD\n")
        << QStringList{QStringLiteral("Email=a@x.it"), QStringLiteral("Tel=06 1")} << 0;
    QTest::newRow("CHARSET=ISO-8859-15: l'euro e le lettere che Windows-1252 ha altrove")
        << QByteArray(
               "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Z\r\nNOTE;CHARSET=ISO-8859-15:\xA4 \xA6\xA8 \xB4\xB8 \xBC\xBD \xBE\r\n"
               "END:VCARD\r\n")
        << QStringList{QStringLiteral("Cognome=Z ¦ Note=€ Šš Žž Œœ Ÿ")} << 0;
    QTest::newRow("un CHARSET che Qt conosce per nome")
        << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=macintosh:Citt\x88\r\nEND:VCARD\r\n")
        << QStringList{QStringLiteral("Cognome=Città")} << 0;
    const QString unaScheda = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Àda;Bò\r\nEND:VCARD\r\n");
    QTest::newRow("UTF-16 big-endian senza BOM, zeri dopo l'ultima scheda")
        << utf16(unaScheda, true) + QByteArray(7, '\0') << QStringList{QStringLiteral("Cognome=Àda ¦ Nome=Bò")} << 0;
    QTest::newRow("UTF-16 little-endian senza BOM, righe vuote prima")
        << utf16(QStringLiteral("\r\n") + unaScheda, false) << QStringList{QStringLiteral("Cognome=Àda ¦ Nome=Bò")}
        << 0;
    QTest::newRow("zeri dopo l'ultimo END:VCARD")
        << QByteArray("BEGIN:VCARD\nN:Uno\nEND:VCARD\n") + QByteArray(100, '\0')
        << QStringList{QStringLiteral("Cognome=Uno")} << 0;
    QTest::newRow("proprietà ignote, gruppi, nomi in minuscolo, righe vuote")
        << QByteArray("begin:vcard\n\nversion:4.0\nX-FOO;BAR=\"a:b\":baz\nitem2.n:Verdi;Ada\nfn:Ada Verdi\n"
                      "KIND:individual\nX-CODICE-FISCALE:VRDDAA80A41H501X\nX-PARTITA-IVA: 12345678901 \n"
                      "CATEGORIES:amici,lavoro\nend:vcard\n")
        << QStringList{QStringLiteral("Cognome=Verdi ¦ Nome=Ada ¦ CodFisc=VRDDAA80A41H501X ¦ Iva=12345678901")} << 0;
    QTest::newRow("righe ripiegate con spazio e con tabulazione")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nN:Ros\n si;Ma\n\trio;;;\nNOTE:uno\n  due\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Rossi ¦ Nome=Mario ¦ Note=uno due")} << 0;
    QTest::newRow("Apple 3.0: due punti con escape nell'URL, indirizzo con virgole")
        << crlf("BEGIN:VCARD\nVERSION:3.0\nN:Neri;Eva;;;\nitem1.URL;type=pref:http\\://neri.it\n"
                "item2.ADR;type=HOME;type=pref:;;Corso Italia 4\\nInterno 2;Roma;RM;00198;Italia\nEND:VCARD\n")
        << QStringList{QStringLiteral(
               "Cognome=Neri ¦ Nome=Eva ¦ Via=Corso Italia 4\r\nInterno 2 ¦ Citta=Roma ¦ Cap=00198 ¦ "
               "Prov=RM ¦ Stato=Italia ¦ Web=http://neri.it")}
        << 0;
    QTest::newRow("casella postale e indirizzo esteso vanno nella via")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:X\nADR:CP 12;Scala B;Via Roma 1;;;;\nADR:;;Altra via;;;;\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=X ¦ Via=Via Roma 1, Scala B, CP 12")} << 0;
    QTest::newRow("nome troppo lungo: tagliato a 50 e contato")
        << crlf(QByteArray("BEGIN:VCARD\nVERSION:4.0\nN:" + QByteArray(49, 'x') +
                           " yyyy;Ugo;;;\nEND:VCARD\n"
                           "BEGIN:VCARD\nVERSION:4.0\nN:Corto;;;;\nEND:VCARD\n")
                    .constData())
        << QStringList{QStringLiteral("Cognome=") + QString(49, QLatin1Char('x')) + QStringLiteral(" ¦ Nome=Ugo"),
                       QStringLiteral("Cognome=Corto")}
        << 1;
    QTest::newRow("caratteri fuori dal codice 1252: punto di domanda, uno per carattere")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nN:Łukasz;Zoë;;;\nNOTE:日本 😀 ok\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=?ukasz ¦ Nome=Zoë ¦ Note=?? ? ok")} << 1;
    QTest::newRow("CAP troppo lungo e Windows-1252 insieme: una scheda sola accorciata")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nN:Ωmega;;;;\nADR:;;;;;1234567;\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=?mega ¦ Cap=12345")} << 1;
    QTest::newRow("scheda senza testi saltata")
        << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:\nEND:VCARD\nBEGIN:VCARD\nVERSION:4.0\nFN:Uno\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Uno")} << 0;
    QTest::newRow("vCard annidata (AGENT di 2.1) ignorata")
        << crlf("BEGIN:VCARD\nVERSION:2.1\nN:Capo;;;;\nAGENT:\nBEGIN:VCARD\nN:Segretaria;;;;\nEND:VCARD\n"
                "TEL:1\nEND:VCARD\n")
        << QStringList{QStringLiteral("Cognome=Capo ¦ Tel=1")} << 0;
    QTest::newRow("UTF-8 con BOM") << QByteArray("\xEF\xBB\xBF"
                                                 "BEGIN:VCARD\nFN:Èva Gialli\nEND:VCARD\n")
                                   << QStringList{QStringLiteral("Cognome=Gialli ¦ Nome=Èva")} << 0;
    QTest::newRow("UTF-16 con BOM") << QByteArray("\xFF\xFE") +
                                           QByteArray::fromRawData(
                                               reinterpret_cast<const char*>(u"BEGIN:VCARD\r\nFN:Àda\r\nEND:VCARD\r\n"),
                                               2 * 32)
                                    << QStringList{QStringLiteral("Cognome=Àda")} << 0;
    QTest::newRow("testo prima e dopo le schede ignorato")
        << QByteArray("intestazione\nBEGIN:VCARD\nFN:A B\nEND:VCARD\ncoda\n")
        << QStringList{QStringLiteral("Cognome=B ¦ Nome=A")} << 0;
}

void TestCodecVCard::lettura()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, schede);
    QFETCH(int, accorciate);
    if (QByteArrayView(QTest::currentDataTag()).startsWith("un CHARSET che Qt conosce") &&
        !QStringDecoder("macintosh").isValid())
        QSKIP("this Qt has no ICU and knows no charset by that name");
    const LetturaVCard letta = leggiVCard(file);
    QCOMPARE(letta.esito, LetturaVCard::Letta);
    QCOMPARE(descrivi(letta.schede), schede);
    QCOMPARE(letta.accorciate, accorciate);
}

void TestCodecVCard::esito_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("esito");

    QTest::newRow("file vuoto") << QByteArray() << int(LetturaVCard::Vuota);
    QTest::newRow("solo spazi e a capo") << QByteArray(" \r\n\t\n") << int(LetturaVCard::Vuota);
    QTest::newRow("solo schede vuote") << crlf("BEGIN:VCARD\nVERSION:4.0\nFN:\nEND:VCARD\n")
                                       << int(LetturaVCard::Vuota);
    QTest::newRow("solo BEGIN:VCARD") << QByteArray("BEGIN:VCARD") << int(LetturaVCard::Incompleta);
    QTest::newRow("ultima scheda troncata")
        << crlf("BEGIN:VCARD\nFN:A\nEND:VCARD\nBEGIN:VCARD\nFN:B\n") << int(LetturaVCard::Incompleta);
    QTest::newRow("un CSV") << QByteArray(",\" Cognome\",\" Nome\"\r\n1,Rossi,Mario\r\n")
                            << int(LetturaVCard::NonVCard);
    QByteArray binario("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    binario += "BEGIN:VCARD\r\nFN:X\r\nEND:VCARD\r\n";
    QTest::newRow("file binario, anche con un BEGIN:VCARD dentro") << binario << int(LetturaVCard::NonVCard);
    QTest::newRow("END senza BEGIN") << QByteArray("END:VCARD\n") << int(LetturaVCard::NonVCard);
    QTest::newRow("uno zero in mezzo al testo")
        << QByteArray("BEGIN:VCARD\nFN:A\0B\nEND:VCARD\n", 26) << int(LetturaVCard::NonVCard);
    QTest::newRow("solo zeri") << QByteArray(64, '\0') << int(LetturaVCard::NonVCard);
}

void TestCodecVCard::esito()
{
    QFETCH(QByteArray, file);
    QFETCH(int, esito);
    const LetturaVCard letta = leggiVCard(file);
    QCOMPARE(int(letta.esito), esito);
    QVERIFY(letta.schede.isEmpty());
}

QTEST_GUILESS_MAIN(TestCodecVCard)
#include "TestCodecVCard.moc"
