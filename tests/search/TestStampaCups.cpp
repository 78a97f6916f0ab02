#include "search/ListaContatti.h"
#include "search/TfrmTrovaContatti.h"
#include "support/FakeMessageService.h"
#include "support/SchedeDiProva.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString esegui(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// How many list lines each page holds for a list of `righe` lines on a page `altezza` printer pixels high at
// `dpi`, worked out from the page's lines rather than by the layout code under test: a line starts only above
// three 8-point heights from the bottom, each 2 x H(8) under the one before; the first page starts below the
// title, the others at 2 x H(8); the closing rule and the date line go on a page of their own (one with no list
// line) when they would pass the bottom.
QList<int> righePerPagina(int righe, int dpi, int altezza)
{
    const auto h = [dpi](int punti) { return (punti * dpi + 36) / 72; };
    const int passo = 2 * h(8);
    const int limite = altezza - 3 * h(8);
    int y = 2 * h(14) + 2 * h(12) + 3 * h(8);
    QList<int> pagine{0};
    for (int riga = 0; riga < righe; ++riga) {
        if (y >= limite) {
            pagine << 0;
            y = passo;
        }
        ++pagine.last();
        y += passo;
    }
    if (y + 150 + h(8) > altezza)
        pagine << 0;
    return pagine;
}

} // namespace

// The list printed for real on the default CUPS printer, the CUPS-PDF model on a private cupsd that
// stampa_cups.sh starts: the PDF that lands has the pages the list needs, in landscape, with the lines' text.
class TestStampaCups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stampaSuPdf()
    {
        const QString cartellaPdf = qEnvironmentVariable("CARNETTO_PDF_DIR");
        if (cartellaPdf.isEmpty())
            QSKIP("Run through stampa_cups.sh, which starts a private cupsd with a PDF queue");
        const QPrinterInfo predefinita = QPrinterInfo::defaultPrinter();
        QVERIFY2(!predefinita.isNull(), "no default printer");

        QTemporaryDir dir;
        QVERIFY(SchedeDiProva::scrivi(dir.filePath(QStringLiteral("Contatti.pro")), SchedeDiProva::archivio(70)));
        FakeMessageService messaggi;
        TfrmTrovaContatti finestra(dir.path());
        QVERIFY(finestra.riempiLista());
        finestra.show();
        const QStringList prima = QDir(cartellaPdf).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        QTest::mouseClick(finestra.cmdStampa, Qt::LeftButton);
        QCOMPARE(messaggi.entries.size(), 1); // the confirmation, and no error
        QCOMPARE(messaggi.entries[0].kind, FakeMessageService::Kind::Question);

        QString pdf;
        auto arrivato = [&] {
            for (const QString& f : QDir(cartellaPdf).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
                if (!prima.contains(f) && QFileInfo(QDir(cartellaPdf).filePath(f)).size() > 0) {
                    pdf = QDir(cartellaPdf).filePath(f);
                    return true;
                }
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(arrivato(), 60000);
        // cups-pdf writes the file in place: wait until its size settles.
        const auto rimuovi = qScopeGuard([&pdf] { QFile::remove(pdf); });
        qint64 dimensione = -1;
        while (QFileInfo(pdf).size() != dimensione) {
            dimensione = QFileInfo(pdf).size();
            QTest::qWait(500);
        }

        // The pages the list needs on this printer's own page and resolution.
        QPrinter stampante(predefinita, QPrinter::HighResolution);
        stampante.setPageOrientation(QPageLayout::Landscape);
        const QList<int> attese = righePerPagina(finestra.lista().count(), stampante.logicalDpiY(), stampante.height());
        QVERIFY(attese.size() >= 2);
        const QString info = esegui(QStringLiteral("pdfinfo"), {pdf});
        const QRegularExpressionMatch pagine = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        QVERIFY2(pagine.hasMatch(), qPrintable(info));
        QCOMPARE(pagine.captured(1).toInt(), attese.size());
        QList<int> stampate;
        for (int pagina = 1; pagina <= attese.size(); ++pagina) {
            const QString p = QString::number(pagina);
            stampate << int(esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), p,
                                                                 QStringLiteral("-l"), p, pdf, QStringLiteral("-")})
                                .count(QStringLiteral("Tel. ")));
        }
        QCOMPARE(stampate, attese);
        const QRegularExpressionMatch misura =
            QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
        QVERIFY2(misura.hasMatch(), qPrintable(info));
        // Landscape: a landscape sheet, or the text turned a quarter round on a portrait sheet, which is how
        // CUPS lays a landscape job onto paper that feeds portrait.
        const bool fogliOrizzontali = misura.captured(1).toDouble() > misura.captured(2).toDouble();
        const QString parole = esegui(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        const QRegularExpressionMatch titolo =
            QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                                              "yMax=\"([\\d.]+)\">Rubrica<"))
                .match(parole);
        QVERIFY2(titolo.hasMatch(), qPrintable(parole.left(2000)));
        const double larghezza = titolo.captured(3).toDouble() - titolo.captured(1).toDouble();
        const double altezza = titolo.captured(4).toDouble() - titolo.captured(2).toDouble();
        QVERIFY2(fogliOrizzontali != (altezza > larghezza), qPrintable(info + titolo.captured(0)));

        const QString testo =
            esegui(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(testo.contains(QStringLiteral("Rubrica contatti")), qPrintable(testo));
        QVERIFY(testo.contains(QStringLiteral("Stampa eseguita in data ")));
        for (int i = 0; i < finestra.lista().count(); ++i) {
            const QString riga = finestra.lista().riga(i);
            QVERIFY2(testo.contains(riga.first(20).trimmed() + QStringLiteral("  ")), qPrintable(riga));
            const QRegularExpression telefono(
                QRegularExpression::escape(QString(QStringLiteral("Tel. ") + riga.mid(142).trimmed())) +
                    QStringLiteral("\\s*$"),
                QRegularExpression::MultilineOption);
            QVERIFY2(telefono.match(testo).hasMatch(), qPrintable(riga));
        }
    }
};

QTEST_MAIN(TestStampaCups)
#include "TestStampaCups.moc"
