#include "export/DelegatoGriglia.h"
#include "export/IntestazioneGriglia.h"
#include "export/TfrmExpContatti.h"

#include "ArchivioEsportazione.h"
#include "AutomazioneRegistrata.h"
#include "support/FakeFileDialogService.h"
#include "support/FakeMessageService.h"
#include "ui/ActiveLabel.h"
#include "ui/FileDialogService.h"
#include "ui/HoverHints.h"
#include "vcard/CodecVCard.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace ArchivioEsportazione;

namespace {

void rilascia(QWidget* w, Qt::MouseButton tasto = Qt::LeftButton)
{
    QTest::mouseRelease(w, tasto, {}, w->rect().center());
}

void muovi(QWidget* w)
{
    QMouseEvent ev(QEvent::MouseMove, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

} // namespace

class TestTfrmExpContatti : public QObject
{
    Q_OBJECT

private:
    static bool treSchede(const QTemporaryDir& dir)
    {
        return scrivi(dir, {{{Cognome, QStringLiteral("Uno")}, {Nome, QStringLiteral("Primo")}},
                            {{Cognome, QStringLiteral("Due")},
                             {Azienda, QStringLiteral("Ditta")},
                             {Note, QStringLiteral("Una nota piuttosto lunga, più della colonna")}},
                            {{Cognome, QStringLiteral("Tre")}, {Email, QStringLiteral("tre@posta.it")}}});
    }

    template <typename T> static T* trova(QWidget* w, const char* nome)
    {
        return w->findChild<T*>(QLatin1StringView(nome));
    }

private Q_SLOTS:
    // Opening, switching views, reading a cell in the hint line, saving the CSV and leaving.
    void usoDellaFinestra()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        FakeMessageService messaggi;
        FakeFileDialogService dialogo;
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        QTableView* grd = finestra.grdRecords;
        QAbstractItemModel* m = grd->model();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->columnCount(), 16);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Cognome"));
        QCOMPARE(m->headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
        QCOMPARE(grd->verticalHeader()->width(), 50);
        QCOMPARE(grd->columnWidth(6), 200);
        QCOMPARE(grd->rowHeight(0), 24);

        rilascia(trova<ActiveLabel>(&finestra, "lblPassate"), Qt::RightButton);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Azienda"));
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("Ditta"));
        QCOMPARE(m->index(1, 0).data().toString(), QString());
        QCOMPARE(m->headerData(1, Qt::Vertical).toString(), QString());

        rilascia(trova<ActiveLabel>(&finestra, "imgWord"));
        QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("tre@posta.it"));
        QCOMPARE(grd->columnWidth(7), 150);
        grd->horizontalHeader()->resizeSection(6, 33);
        rilascia(trova<ActiveLabel>(&finestra, "lblTutte"));
        QCOMPARE(grd->columnWidth(6), 200);
        QCOMPARE(m->index(2, 0).data().toString(), QStringLiteral("Tre"));

        // The hint line shows the cell holding the focus, whole, whatever the pointer is over.
        rilascia(trova<ActiveLabel>(&finestra, "imgAggiorna"));
        rilascia(trova<ActiveLabel>(&finestra, "lblTutte"));
        QLabel* lblTutte = trova<ActiveLabel>(&finestra, "lblTutte");
        muovi(lblTutte);
        QCOMPARE(textColour(lblTutte), HoverHints::red());
        grd->setCurrentIndex(m->index(1, 15));
        muovi(grd->viewport());
        QCOMPARE(finestra.panInfo->text(), QStringLiteral(" Una nota piuttosto lunga, più della colonna"));
        QCOMPARE(textColour(lblTutte), HoverHints::black());
        muovi(finestra.grpControlli);
        QCOMPARE(finestra.panInfo->text(), QString());

        // The CSV of what the table shows, under the name typed with ".csv" added.
        dialogo.answers = {dir.filePath(QStringLiteral("rubrica"))};
        rilascia(trova<ActiveLabel>(&finestra, "imgCSV"));
        QCOMPARE(dialogo.requests.size(), 1);
        const FileDialogOptions chiesto = dialogo.requests[0].options;
        QCOMPARE(dialogo.requests[0].kind, FakeFileDialogService::Kind::Save);
        QCOMPARE(chiesto.caption, QStringLiteral("Esporta rubrica contatti in formato .CSV"));
        QCOMPARE(chiesto.filter, QStringLiteral("File .CSV (*.csv);;Biglietti da visita vCard (*.vcf)"));
        QCOMPARE(chiesto.defaultSuffix, QString());
        QVERIFY(!chiesto.confirmOverwrite);
        QCOMPARE(messaggi.texts(), QStringList{QStringLiteral("Esportazione archivio completata con successo.")});
        const QByteArray csv = SchedeDiProva::leggi(dir.filePath(QStringLiteral("rubrica.csv")));
        QCOMPARE(csv.count("\r\n"), 4);
        QVERIFY(csv.contains("\r\n3,Tre,,,,,,,,,,,,,tre@posta.it,,\r\n"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        QSignalSpy guida(&finestra, &TfrmExpContatti::guidaRichiesta);
        rilascia(trova<ActiveLabel>(&finestra, "lblGuida"));
        QCOMPARE(guida.size(), 1);
        QCOMPARE(guida[0][0].value<HelpTopicId>(), HelpTopicId::Export);

        rilascia(trova<ActiveLabel>(&finestra, "imgEsci"));
        QVERIFY(!finestra.isVisible());
    }

    // Each showing fills the table as "Tutti", except on an empty archive, which leaves it as it was.
    void ogniApertura()
    {
        QTemporaryDir dir;
        FakeMessageService messaggi;
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        QCOMPARE(finestra.grdRecords->model()->rowCount(), 9);
        QCOMPARE(finestra.grdRecords->model()->headerData(0, Qt::Horizontal).toString(), QString());
        QCOMPARE(finestra.grdRecords->columnWidth(0), 100);
        finestra.hide();

        QVERIFY(treSchede(dir));
        finestra.show();
        rilascia(trova<ActiveLabel>(&finestra, "imgPassate"));
        finestra.hide();
        finestra.show();
        QCOMPARE(finestra.grdRecords->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Cognome"));
        finestra.hide();

        QVERIFY(SchedeDiProva::scrivi(ArchiveFile::archivePath(dir.path()), {}));
        finestra.show();
        QCOMPARE(finestra.grdRecords->model()->rowCount(), 3);
        QCOMPARE(finestra.grdRecords->model()->index(0, 0).data().toString(), QStringLiteral("Uno"));
        QVERIFY(messaggi.entries.isEmpty());
    }

    // Minimised and restored, the window keeps the view and the widths the user chose: what is exported is
    // still the companies.
    void ridottaARipristinata()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        rilascia(trova<ActiveLabel>(&finestra, "imgPassate"));
        finestra.grdRecords->horizontalHeader()->resizeSection(0, 321);
        finestra.showMinimized();
        finestra.showNormal();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QCOMPARE(finestra.grdRecords->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Azienda"));
        QCOMPARE(finestra.grdRecords->model()->index(0, 0).data().toString(), QStringLiteral("Ditta"));
        QCOMPARE(finestra.griglia().testo(1, 2), QString());
        QCOMPARE(finestra.grdRecords->columnWidth(0), 321);
    }

    // The second filter of the CSV dialog, or a name ending in ".vcf": the rows of the view on show as vCards.
    void vcardDellaVista_data()
    {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("file"); // what is written; empty: nothing, the failure reported
        const QString csv = QStringLiteral("File .CSV (*.csv)");
        const QString vcf = QStringLiteral("Biglietti da visita vCard (*.vcf)");
        QTest::newRow("filtro vCard") << vcf << QStringLiteral("biglietti") << QStringLiteral("biglietti.vcf");
        QTest::newRow("filtro vCard, nome .VCF") << vcf << QStringLiteral("b.VCF") << QStringLiteral("b.VCF");
        QTest::newRow("filtro CSV, nome .vcf") << csv << QStringLiteral("b.vcf") << QStringLiteral("b.vcf");
        QTest::newRow("filtro CSV, nome .vcf.txt")
            << csv << QStringLiteral("b.vcf.txt") << QStringLiteral("b.vcf.txt.csv");
        QTest::newRow("cartella che non c'è") << vcf << QStringLiteral("manca/b.vcf") << QString();
    }
    void vcardDellaVista()
    {
        QFETCH(QString, filtro);
        QFETCH(QString, nome);
        QFETCH(QString, file);
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        FakeMessageService messaggi;
        FakeFileDialogService dialogo;
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        rilascia(trova<ActiveLabel>(&finestra, "lblPassate")); // the companies: their own column order
        dialogo.answers = {dir.filePath(nome)};
        dialogo.chosenFilters = {filtro};
        rilascia(trova<ActiveLabel>(&finestra, "imgCSV"));
        QCOMPARE(messaggi.entries.size(), 1);
        if (file.isEmpty()) {
            QCOMPARE(messaggi.entries[0].kind, FakeMessageService::Kind::Error);
            QVERIFY(messaggi.entries[0].text.startsWith(QStringLiteral("Impossibile scrivere il file")));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Contatti.pro"});
            return;
        }
        QCOMPARE(messaggi.texts(), QStringList{QStringLiteral("Esportazione archivio completata con successo.")});
        const QByteArray scritto = SchedeDiProva::leggi(dir.filePath(file));
        if (file.endsWith(QLatin1String(".csv"))) {
            QVERIFY(scritto.startsWith(","));
            return;
        }
        const LetturaVCard letta = leggiVCard(scritto);
        QCOMPARE(int(letta.esito), int(LetturaVCard::Letta));
        QCOMPARE(letta.schede.size(), 1);
        QCOMPARE(letta.schede[0][Cognome], QStringLiteral("Due"));
        QCOMPARE(letta.schede[0][Azienda], QStringLiteral("Ditta"));
        QCOMPARE(letta.schede[0][Note], QStringLiteral("Una nota piuttosto lunga, più della colonna"));
        QCOMPARE(letta.schede[0][Nome], QString());
        QStringList presenti = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        presenti.sort();
        QStringList attesi = {QStringLiteral("Contatti.pro"), file};
        attesi.sort();
        QCOMPARE(presenti, attesi);
    }

    void csvNonScrivibile()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        FakeMessageService messaggi;
        FakeFileDialogService dialogo;
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        dialogo.answers = {dir.filePath(QStringLiteral("manca/rubrica.csv"))};
        QCursor* sottoIlMessaggio = nullptr;
        messaggi.whileShowing = [&sottoIlMessaggio] { sottoIlMessaggio = QApplication::overrideCursor(); };
        rilascia(trova<ActiveLabel>(&finestra, "lblCSV"));
        QCOMPARE(sottoIlMessaggio, nullptr);
        QCOMPARE(messaggi.entries.size(), 1);
        QCOMPARE(messaggi.entries[0].kind, FakeMessageService::Kind::Error);
        QVERIFY(messaggi.entries[0].text.contains(QStringLiteral("rubrica.csv")));
        QVERIFY(finestra.isVisible());
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        messaggi.clear();
        dialogo.answers = {QString()};
        rilascia(trova<ActiveLabel>(&finestra, "lblCSV"));
        QVERIFY(messaggi.entries.isEmpty());
    }

    void excelNonDisponibile_data()
    {
        QTest::addColumn<int>("falliscaAl"); // -2: the object cannot be created
        QTest::newRow("nessun programma") << -2;
        QTest::newRow("richiesta rifiutata") << 5;
    }

    void excelNonDisponibile()
    {
        QFETCH(int, falliscaAl);
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        FakeMessageService messaggi;
        auto registro = std::make_shared<RegistroAutomazione>();
        registro->falliscaAl = falliscaAl;
        ServerDiProva server(QStringLiteral("Excel.Application"),
                             falliscaAl == -2 ? AutomationRegistry::Factory() : ServerDiProva::registratore(registro));
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        QCursor* durante = nullptr;
        messaggi.whileShowing = [&durante] { durante = QApplication::overrideCursor(); };
        rilascia(trova<ActiveLabel>(&finestra, "imgExcel"));
        QCOMPARE(messaggi.texts(), QStringList{QStringLiteral(
                                       "Si è verificato un errore durante l'esportazione dei dati in Excel.\r\n\r\n"
                                       "Accertarsi che il pacchetto Microsoft Office sia installato sul proprio "
                                       "computer.")});
        QCOMPARE(durante, nullptr);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(finestra.grdRecords->model()->rowCount(), 3);
    }

    void excelRiuscito()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        FakeMessageService messaggi;
        auto registro = std::make_shared<RegistroAutomazione>();
        ServerDiProva server(QStringLiteral("Excel.Application"), ServerDiProva::registratore(registro));
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        rilascia(trova<ActiveLabel>(&finestra, "lblExcel"));
        QVERIFY(messaggi.entries.isEmpty());
        QCOMPARE(registro->richieste.constLast(), QStringLiteral("app put Visible(bool:true)"));
        QCOMPARE(registro->richieste[6], QStringLiteral("app.Workbooks.WorkSheets get Range(QString:A1, QString:Q4)"));
    }

    // What a screen reader finds: a name on every link and on the table, and each cell with its caption as column
    // header and its number as row header.
    void accessibilita()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        const QList<ActiveLabel*> link = finestra.grpControlli->findChildren<ActiveLabel*>();
        QCOMPARE(link.size(), 16);
        for (ActiveLabel* l : link)
            QVERIFY2(!l->accessibleName().isEmpty(), qPrintable(l->objectName()));
        // Each command once, as the picture's push button: its caption is left out.
        QStringList comandi;
        QAccessibleInterface* gruppo = QAccessible::queryAccessibleInterface(finestra.grpControlli);
        for (int i = 0; i < gruppo->childCount(); ++i) {
            QCOMPARE(gruppo->child(i)->role(), QAccessible::Button);
            comandi << gruppo->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(comandi, QStringList({"Persone", "Aziende", "E-mail", "Tutti", "Esporta in Excel", "Esporta in .CSV",
                                       "Guida", "Esci"}));

        QAccessibleInterface* tabella = QAccessible::queryAccessibleInterface(finestra.grdRecords);
        QVERIFY(tabella);
        QCOMPARE(tabella->role(), QAccessible::Table);
        QCOMPARE(tabella->text(QAccessible::Name), QStringLiteral("Archivio contatti"));
        QAccessibleTableInterface* t = tabella->tableInterface();
        QVERIFY(t);
        QCOMPARE(t->rowCount(), 3);
        QCOMPARE(t->columnCount(), 16);
        QAccessibleInterface* cella = t->cellAt(2, 0);
        QVERIFY(cella);
        QCOMPARE(cella->text(QAccessible::Name), QStringLiteral("Tre"));
        const QList<QAccessibleInterface*> colonne = cella->tableCellInterface()->columnHeaderCells();
        const QList<QAccessibleInterface*> righe = cella->tableCellInterface()->rowHeaderCells();
        // Qt 6.4 hands the header cells over without keeping them in its cache: the caller frees them.
        const auto libera = qScopeGuard([&] {
            for (QAccessibleInterface* h : colonne + righe)
                if (QAccessible::uniqueId(h) == 0)
                    QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(h));
        });
        QCOMPARE(colonne.size(), 1);
        QCOMPARE(colonne[0]->text(QAccessible::Name), QStringLiteral(" Cognome"));
        QCOMPARE(righe.size(), 1);
        QCOMPARE(righe[0]->text(QAccessible::Name), QStringLiteral("3"));
    }

    // The cells are drawn with the fixed colours whatever the desktop theme, selected or not.
    void colori()
    {
        QTemporaryDir dir;
        QVERIFY(treSchede(dir));
        TfrmExpContatti finestra(dir.path());
        finestra.show();
        QTableView* grd = finestra.grdRecords;
        grd->selectAll();
        const QImage img = grd->grab().toImage();
        const auto colore = [&](int riga, int colonna) {
            const QRect r = grd->visualRect(grd->model()->index(riga, colonna));
            const QPoint p = grd->viewport()->mapTo(grd, r.topLeft()) + QPoint(r.width() - 4, r.height() / 2);
            return img.pixelColor(p);
        };
        QCOMPARE(colore(0, 3), DelegatoGriglia::azzurro());
        QCOMPARE(colore(1, 3), DelegatoGriglia::giallino());
        QCOMPARE(colore(2, 2), DelegatoGriglia::azzurro());
        const QPoint intestazione = grd->horizontalHeader()->mapTo(grd, QPoint(90, 20));
        QCOMPARE(img.pixelColor(intestazione), IntestazioneGriglia::celeste());
    }
};

QTEST_MAIN(TestTfrmExpContatti)
#include "TestTfrmExpContatti.moc"
