#include "export/Automazione.h"
#include "export/EsportazioneExcel.h"
#include "export/GrigliaEsportazione.h"
#include "export/XlsxAutomationServer.h"

#include "ArchivioEsportazione.h"
#include "AutomazioneRegistrata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTest>
#include <QXmlStreamReader>
#include <QtGui/private/qzipreader_p.h>

using Vista = GrigliaEsportazione::Vista;
using namespace ArchivioEsportazione;

namespace {

const QString kExcel = QStringLiteral("Excel.Application");

// One file of the workbook, read with Qt's own zip reader (the one behind Qt's .docx writer); empty where the
// workbook or the file in it cannot be read.
QByteArray parte(const QString& xlsx, const QString& nome)
{
    const QZipReader zip(xlsx);
    return zip.status() == QZipReader::NoError ? zip.fileData(nome) : QByteArray();
}

struct CellaLetta
{
    QString testo;
    QString tipo;
    int stile = 0;
};

// The cells of a sheet by reference ("B1"), with their text (inline or shared) and their style index.
QHash<QString, CellaLetta> celle(const QByteArray& foglio, const QStringList& condivise)
{
    QHash<QString, CellaLetta> out;
    QXmlStreamReader xml(foglio);
    QString ref;
    CellaLetta cella;
    bool inValore = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"c") {
            ref = xml.attributes().value(QStringLiteral("r")).toString();
            cella = CellaLetta{};
            cella.tipo = xml.attributes().value(QStringLiteral("t")).toString();
            cella.stile = xml.attributes().value(QStringLiteral("s")).toInt();
        } else if (xml.isStartElement() && (xml.name() == u"v" || xml.name() == u"t")) {
            inValore = true;
        } else if (xml.isEndElement() && (xml.name() == u"v" || xml.name() == u"t")) {
            inValore = false;
        } else if (xml.isCharacters() && inValore) {
            cella.testo += xml.text();
        } else if (xml.isEndElement() && xml.name() == u"c") {
            if (cella.tipo == u"s")
                cella.testo = condivise.value(cella.testo.toInt());
            out.insert(ref, cella);
        }
    }
    return out;
}

QStringList stringheCondivise(const QByteArray& xml)
{
    QStringList out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"t")
            out << r.readElementText();
    }
    return out;
}

struct Stile
{
    int formatoNumero = 0;
    bool grassetto = false;
};

// The cell styles (cellXfs) with their number format and whether their font is bold.
QList<Stile> stili(const QByteArray& xml)
{
    QList<bool> fontGrassetti;
    QList<Stile> out;
    QXmlStreamReader r(xml);
    QString sezione;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == u"fonts" || r.name() == u"cellXfs" || r.name() == u"cellStyleXfs")
                sezione = r.name().toString();
            else if (sezione == u"fonts" && r.name() == u"font")
                fontGrassetti << false;
            else if (sezione == u"fonts" && r.name() == u"b")
                fontGrassetti.last() = true;
            else if (sezione == u"cellXfs" && r.name() == u"xf")
                out << Stile{r.attributes().value(QStringLiteral("numFmtId")).toInt(),
                             fontGrassetti.value(r.attributes().value(QStringLiteral("fontId")).toInt())};
        }
    }
    return out;
}

bool dueSchede(const QTemporaryDir& dir)
{
    return scrivi(dir, {{{Cognome, QStringLiteral("Rossi")},
                         {Nome, QStringLiteral("Mario")},
                         {Cap, QStringLiteral("00184")},
                         {Tel, QStringLiteral("06 1234")}},
                        {{Cognome, QStringLiteral("Bianchi")}, {Note, QStringLiteral("  12  ")}}});
}

// Exports the grid; the workbooks handed to the spreadsheet program, which here only takes note of them.
QStringList esportaEApri(const GrigliaEsportazione& g)
{
    QStringList aperti;
    const auto prima = XlsxAutomationServer::setOpener([&aperti](const QString& percorso, QString*) {
        aperti << percorso;
        return true;
    });
    EsportazioneExcel::esporta(g);
    XlsxAutomationServer::setOpener(prima);
    return aperti;
}

} // namespace

class TestEsportazioneExcel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valoriRifilati()
    {
        QTemporaryDir dir;
        QVERIFY(dueSchede(dir));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QVariantList v = EsportazioneExcel::valori(g);
        QCOMPARE(v.size(), 3);
        const QVariantList intestazione = v[0].toList();
        QCOMPARE(intestazione.size(), 17);
        QCOMPARE(intestazione[0], QVariant(QString()));
        QCOMPARE(intestazione[1], QVariant(QStringLiteral("Cognome")));
        QCOMPARE(intestazione[16], QVariant(QStringLiteral("Note")));
        QCOMPARE(v[1].toList()[0], QVariant(QStringLiteral("1")));
        QCOMPARE(v[1].toList()[8], QVariant(QStringLiteral("00184")));
        QCOMPARE(v[2].toList()[16], QVariant(QStringLiteral("12")));
        QCOMPARE(EsportazioneExcel::cellaFinale(g), QStringLiteral("Q3"));
    }

    // Every request, in order, with its arguments and their types.
    void sequenzaDelleRichieste()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Uno")}},
                             {{Cognome, QStringLiteral("Due")}, {Azienda, QStringLiteral("Ditta")}},
                             {{Cognome, QStringLiteral("Tre")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Aziende);
        auto registro = std::make_shared<RegistroAutomazione>();
        ServerDiProva server(kExcel, ServerDiProva::registratore(registro));
        EsportazioneExcel::esporta(g);

        QStringList attese = {
            "app put Visible(bool:false)",
            "app call Workbooks()",
            "app.Workbooks call Add(short:-4167)",
            "app get Workbooks(int:1)",
            "app.Workbooks get WorkSheets(int:1)",
            "app.Workbooks.WorkSheets put Name(QString:Archivio contatti)",
            "app.Workbooks.WorkSheets get Range(QString:A1, QString:Q4)",
            "app.Workbooks.WorkSheets.Range call Select()",
            "app call Selection()",
            "app.Selection put NumberFormat(QString:@)",
            "app.Workbooks.WorkSheets get Range(QString:A1, QString:Q4)",
            "app.Workbooks.WorkSheets.Range put Value(QVariantList:4x17)",
        };
        for (int k = 2; k <= 17; ++k) {
            attese << "app call Application()" << QStringLiteral("app.Application get Cells(int:1, int:%1)").arg(k)
                   << "app.Application.Cells call Font()"
                   << "app.Application.Cells.Font put Bold(bool:true)";
        }
        attese << "app get Columns(QString:A:Q)"
               << "app.Columns call EntireColumn()"
               << "app.Columns.EntireColumn call AutoFit()"
               << "app get Cells(int:1, int:1)"
               << "app.Cells call Select()"
               << "app put Visible(bool:true)";
        QCOMPARE(registro->richieste, attese);
    }

    void valoriDelFiltroConRigheVuote()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Uno")}},
                             {{Cognome, QStringLiteral("Due")}, {Azienda, QStringLiteral("Ditta")}},
                             {{Cognome, QStringLiteral("Tre")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Aziende);
        const QVariantList v = EsportazioneExcel::valori(g);
        QCOMPARE(v.size(), 4);
        QCOMPARE(v[1].toList()[1], QVariant(QStringLiteral("Ditta")));
        for (const QVariant& cella : v[3].toList())
            QCOMPARE(cella, QVariant(QString()));
    }

    void fallimenti_data()
    {
        QTest::addColumn<int>("falliscaAl");
        QTest::addColumn<int>("richiesteFatte");
        QTest::newRow("prima richiesta") << 0 << 0;
        QTest::newRow("valori") << 11 << 11;
        QTest::newRow("ultima") << 81 << 81;
    }

    // A request that fails ends the export there; what was sent stays sent.
    void fallimenti()
    {
        QFETCH(int, falliscaAl);
        QFETCH(int, richiesteFatte);
        GrigliaEsportazione g;
        auto registro = std::make_shared<RegistroAutomazione>();
        registro->falliscaAl = falliscaAl;
        ServerDiProva server(kExcel, ServerDiProva::registratore(registro));
        QVERIFY_THROWS_EXCEPTION(AutomationError, EsportazioneExcel::esporta(g));
        QCOMPARE(registro->richieste.size(), richiesteFatte);
    }

    void serverAssente()
    {
        GrigliaEsportazione g;
        {
            ServerDiProva server(kExcel, {});
            QVERIFY_THROWS_EXCEPTION(AutomationError, EsportazioneExcel::esporta(g));
        }
        {
            ServerDiProva server(kExcel, [] { return AutomationRef(); });
            QVERIFY_THROWS_EXCEPTION(AutomationError, EsportazioneExcel::esporta(g));
        }
    }

    // The workbook backend answers exactly what the export sends: anything else is an error.
    void membriNonSupportati_data()
    {
        QTest::addColumn<int>("caso");
        QTest::newRow("membro sconosciuto") << 0;
        QTest::newRow("Visible letto") << 1;
        QTest::newRow("Visible con un numero") << 2;
        QTest::newRow("Add con un altro modello") << 3;
        QTest::newRow("formato numerico") << 4;
        QTest::newRow("indirizzo non valido") << 5;
        QTest::newRow("foglio inesistente") << 6;
    }

    void membriNonSupportati()
    {
        QFETCH(int, caso);
        const AutomationRef app = AutomationRegistry::create(kExcel);
        const auto foglio = [&] {
            AutomationObject::object(app->call(QStringLiteral("Workbooks")))
                ->call(QStringLiteral("Add"), {QVariant::fromValue(qint16(-4167))});
            return AutomationObject::object(AutomationObject::object(app->get(QStringLiteral("Workbooks"), {1}))
                                                ->get(QStringLiteral("WorkSheets"), {1}));
        };
        switch (caso) {
        case 0:
            QVERIFY_THROWS_EXCEPTION(AutomationError, app->call(QStringLiteral("Quit")));
            break;
        case 1:
            QVERIFY_THROWS_EXCEPTION(AutomationError, app->get(QStringLiteral("Visible")));
            break;
        case 2:
            QVERIFY_THROWS_EXCEPTION(AutomationError, app->put(QStringLiteral("Visible"), 1));
            break;
        case 3:
            QVERIFY_THROWS_EXCEPTION(AutomationError,
                                     AutomationObject::object(app->call(QStringLiteral("Workbooks")))
                                         ->call(QStringLiteral("Add"), {QVariant::fromValue(qint16(1))}));
            break;
        case 4: {
            const AutomationRef f = foglio();
            const AutomationRef r =
                AutomationObject::object(f->get(QStringLiteral("Range"), {QStringLiteral("A1"), QStringLiteral("B2")}));
            QVERIFY_THROWS_EXCEPTION(AutomationError, r->put(QStringLiteral("NumberFormat"), QStringLiteral("0.00")));
            break;
        }
        case 5:
            QVERIFY_THROWS_EXCEPTION(
                AutomationError, foglio()->get(QStringLiteral("Range"), {QStringLiteral("A0"), QStringLiteral("1B")}));
            break;
        case 6:
            foglio();
            QVERIFY_THROWS_EXCEPTION(AutomationError,
                                     AutomationObject::object(app->get(QStringLiteral("Workbooks"), {1}))
                                         ->get(QStringLiteral("WorkSheets"), {2}));
            break;
        }
    }

    // The workbook the backend hands to the desktop, read back from the file.
    // The workbook goes to the user's temporary folder, whose name may hold letters outside ASCII.
    void cartellaInUnaCartellaAccentata()
    {
        QTemporaryDir dir;
        QVERIFY(dueSchede(dir));
        const QString temporanea = dir.filePath(QStringLiteral("Niccolò Città"));
        QVERIFY(QDir().mkpath(temporanea));
        const QByteArray primaTmp = qgetenv("TMP");
        const QByteArray primaTmpdir = qgetenv("TMPDIR");
        qputenv("TMP", QDir::toNativeSeparators(temporanea).toLocal8Bit());
        qputenv("TMPDIR", QFile::encodeName(temporanea));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QStringList aperti = esportaEApri(g);
        qputenv("TMP", primaTmp);
        qputenv("TMPDIR", primaTmpdir);
        QCOMPARE(aperti.size(), 1);
        QCOMPARE(QFileInfo(aperti[0]).absolutePath(), QFileInfo(temporanea).absoluteFilePath());
        QVERIFY2(QFileInfo(aperti[0]).size() > 0, qPrintable(aperti[0]));
        // Nothing was written under a mangled name beside it.
        QCOMPARE(QDir(temporanea).entryList(QDir::Files), QStringList{QFileInfo(aperti[0]).fileName()});
        XlsxAutomationServer::removeSessionWorkbooks();
    }

    void cartellaScritta()
    {
        QTemporaryDir dir;
        QVERIFY(dueSchede(dir));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QStringList aperti = esportaEApri(g);
        QCOMPARE(aperti.size(), 1);
        const QString xlsx = aperti[0];
        QVERIFY(xlsx.endsWith(QStringLiteral(".xlsx")));

        const QByteArray workbook = parte(xlsx, QStringLiteral("xl/workbook.xml"));
        QVERIFY2(workbook.contains("<sheet name=\"Archivio contatti\""), workbook.constData());
        const QHash<QString, CellaLetta> c =
            celle(parte(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")),
                  stringheCondivise(parte(xlsx, QStringLiteral("xl/sharedStrings.xml"))));
        const QList<Stile> s = stili(parte(xlsx, QStringLiteral("xl/styles.xml")));
        // Kept for the spreadsheet program while the run lasts, then gone from the temporary folder.
        XlsxAutomationServer::removeSessionWorkbooks();
        QVERIFY(!QFile::exists(xlsx));

        QCOMPARE(c.value(QStringLiteral("B1")).testo, QStringLiteral("Cognome"));
        QCOMPARE(c.value(QStringLiteral("Q1")).testo, QStringLiteral("Note"));
        QCOMPARE(c.value(QStringLiteral("H1")).testo, QStringLiteral("Città"));
        QCOMPARE(c.value(QStringLiteral("A2")).testo, QStringLiteral("1"));
        QCOMPARE(c.value(QStringLiteral("B3")).testo, QStringLiteral("Bianchi"));
        // Text, not the number 184; the row number and a note of digits are text too.
        QCOMPARE(c.value(QStringLiteral("I2")).testo, QStringLiteral("00184"));
        QVERIFY(c.value(QStringLiteral("I2")).tipo != u"n" && !c.value(QStringLiteral("I2")).tipo.isEmpty());
        QVERIFY(!c.value(QStringLiteral("A2")).tipo.isEmpty());
        QCOMPARE(c.value(QStringLiteral("Q3")).testo, QStringLiteral("12"));
        // Every cell of the range carries the text format; B1 to Q1 are bold, A1 is not.
        for (int r = 1; r <= 3; ++r) {
            for (char col = 'A'; col <= 'Q'; ++col) {
                const QString ref = QLatin1Char(col) + QString::number(r);
                QVERIFY2(c.contains(ref), qPrintable(ref));
                const Stile stile = s.value(c.value(ref).stile);
                QVERIFY2(stile.formatoNumero == 49, qPrintable(ref)); // "@"
                QCOMPARE(stile.grassetto, r == 1 && col != 'A');
            }
        }
        QVERIFY(!c.contains(QStringLiteral("R1")));
        QVERIFY(!c.contains(QStringLiteral("A4")));
    }

    void programmaCheNonApre()
    {
        GrigliaEsportazione g;
        QString aperto;
        const auto prima = XlsxAutomationServer::setOpener([&aperto](const QString& percorso, QString* errore) {
            aperto = percorso;
            *errore = QStringLiteral("nessun programma");
            return false;
        });
        QVERIFY_THROWS_EXCEPTION(AutomationError, EsportazioneExcel::esporta(g));
        XlsxAutomationServer::setOpener(prima);
        QVERIFY(!aperto.isEmpty());
        // A workbook no program took is no use to anyone.
        QVERIFY(!QFile::exists(aperto));
    }
};

QTEST_GUILESS_MAIN(TestEsportazioneExcel)
#include "TestEsportazioneExcel.moc"
