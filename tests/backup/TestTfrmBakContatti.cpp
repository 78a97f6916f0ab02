#include "app/Forms.h"
#include "archive/ArchiveLock.h"
#include "backup/TfrmBakContatti.h"
#include "support/FakeFileDialogService.h"
#include "support/FakeMessageService.h"
#include "support/LimiteScrittura.h"
#include "support/ModaleAttesa.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"
#include "tests/cards/BancoContatti.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace SchedeDiProva;

namespace {

// The user's texts, written out here rather than taken from the program.
const QString kBackupRiuscito = QStringLiteral("Creazione backup rubrica contatti completata con successo.");
const QString kBackupFallito =
    QStringLiteral("Attenzione: il sistema non consente di salvare il file nella posizione specificata. Creazione "
                   "backup rubrica contatti non riuscita.");
const QString kRipristinoRiuscito = QStringLiteral("Ripristino backup archivio contatti completata con successo.");
const QString kRipristinoFallito =
    QStringLiteral("Attenzione: il sistema non consente di sovrascrivere l'archivio corrente. Ripristino archivio "
                   "contatti non riuscito.");

QColor coloreTesto(const QWidget* w)
{
    return w->palette().color(QPalette::WindowText);
}

} // namespace

class TestTfrmBakContatti : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TfrmBakContatti> m_finestra;
    int m_sottoLaClessidra = 0; // messages shown while the hourglass was up
    std::unique_ptr<FakeMessageService> m_messaggi;
    std::unique_ptr<FakeFileDialogService> m_dialoghi;

    TfrmBakContatti* f() const { return m_finestra.get(); }
    QString percorso(const QString& nome) const { return m_dir->filePath(nome); }
    QString archivio() const { return ArchiveFile::archivePath(m_dir->path()); }
    void clic(QPushButton* pulsante) { QTest::mouseClick(pulsante, Qt::LeftButton); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_messaggi = std::make_unique<FakeMessageService>();
        m_sottoLaClessidra = 0;
        m_messaggi->whileShowing = [this] { m_sottoLaClessidra += QApplication::overrideCursor() != nullptr; };
        m_dialoghi = std::make_unique<FakeFileDialogService>();
        m_finestra = std::make_unique<TfrmBakContatti>(m_dir->path());
        m_finestra->show();
        QVERIFY(QTest::qWaitForWindowExposed(f()));
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
    }
    // Whatever the copy did, the hourglass is gone again, and no message ever came up under it.
    void cleanup()
    {
        m_finestra.reset();
        m_dialoghi.reset();
        m_messaggi.reset();
        QCOMPARE(m_sottoLaClessidra, 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void aspetto()
    {
        QCOMPARE(f()->windowTitle(), QStringLiteral(" Backup / Ripristino rubrica contatti"));
        QCOMPARE(f()->size(), QSize(697, 393));
        QCOMPARE(f()->property("helpContext").toInt(), 1012);
        QCOMPARE(f()->palette().color(QPalette::Window), QColor(192, 192, 192));
        QVERIFY(!(f()->windowFlags() & Qt::WindowMinimizeButtonHint));

        const QList<std::pair<QLabel*, QString>> testi = {
            {f()->lblInfo, "Utilizzare il pulsante di sotto per effettuare il backup della rubrica dei"},
            {f()->Label1, "contatti corrente."},
            {f()->Label2, "Bisognerà selezionare il percorso della cartella di destinazione in cui"},
            {f()->Label3, "si intende salvare la copia di sicurezza del file."},
            {f()->Label4, "Utilizzare il pulsante di sotto per ripristinare una copia di sicurezza"},
            {f()->Label5, "della rubrica dei contatti creata precedentemente."},
            {f()->Label6, "Attenzione: il file di backup selezionato sovrascriverà l'archivio"},
            {f()->Label7, "attualmente in uso."},
        };
        for (const auto& [label, testo] : testi) {
            QCOMPARE(label->text(), testo);
            QCOMPARE(label->accessibleName(), testo);
            QCOMPARE(label->font().family(), QStringLiteral("Verdana"));
            const bool avviso = label == f()->Label6 || label == f()->Label7;
            QCOMPARE(coloreTesto(label), avviso ? QColor(255, 0, 0) : QColor(0, 0, 0));
            QVERIFY(f()->grpControlli->isAncestorOf(label));
        }
        // Each section in its frame, the backup one above the line, the restore one below.
        QVERIFY(f()->shpBackup->geometry().contains(f()->imgBackup->geometry()));
        QVERIFY(f()->shpBackup->geometry().contains(f()->cmdBackup->geometry()));
        QVERIFY(f()->Shape1->geometry().contains(f()->imgRestore->geometry()));
        QVERIFY(f()->Shape1->geometry().contains(f()->cmdRipristina->geometry()));
        QVERIFY(f()->shpBackup->geometry().bottom() < f()->Bevel1->geometry().top());
        QVERIFY(f()->Bevel1->geometry().bottom() < f()->Shape1->geometry().top());
        QVERIFY(!f()->imgBackup->pixmap().isNull());
        QVERIFY(!f()->imgRestore->pixmap().isNull());
        QVERIFY(!f()->grpControlli->isAncestorOf(f()->cmdAnnulla));
        QVERIFY(f()->cmdAnnulla->geometry().top() > f()->grpControlli->geometry().bottom());

        const QList<std::pair<QPushButton*, QString>> pulsanti = {
            {f()->cmdBackup, "Crea file di backup"},
            {f()->cmdRipristina, "Ripristina file di backup"},
            {f()->cmdAnnulla, "Annulla"},
        };
        for (const auto& [pulsante, testo] : pulsanti) {
            QCOMPARE(pulsante->text(), testo);
            QCOMPARE(pulsante->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!(pulsante->focusPolicy() & Qt::TabFocus));
        }
    }

    // Accepting the proposed name replaces an existing backup of that name without a question.
    void backup()
    {
        const QString backup = percorso(QStringLiteral("Rubrica contatti.bkc"));
        QVERIFY(scrivi(backup, SchedeDiProva::archivio(9)));
        m_dialoghi->answers << backup;
        QSignalSpy ripristini(f(), &TfrmBakContatti::ripristinoEseguito);

        clic(f()->cmdBackup);
        QCOMPARE(m_dialoghi->requests.size(), 1);
        const FileDialogOptions opzioni = m_dialoghi->requests[0].options;
        QCOMPARE(m_dialoghi->requests[0].kind, FakeFileDialogService::Kind::Save);
        QCOMPARE(opzioni.caption, QStringLiteral("Crea backup rubrica contatti"));
        QCOMPARE(opzioni.initialFileName, QStringLiteral("Rubrica contatti.bkc"));
        QVERIFY(opzioni.folder.isEmpty());
        QVERIFY(opzioni.defaultSuffix.isEmpty());
        QVERIFY(!opzioni.confirmOverwrite);
        QVERIFY(!opzioni.readOnlyBox);
        // The text as it is shown; the dialogs match "*.bkc" with letter case ignored (TestFileDialogService).
        QCOMPARE(opzioni.filter, QStringLiteral("Backup contatti (*.bkc)"));

        QCOMPARE(leggi(backup), SchedeDiProva::archivio(3));
        QCOMPARE(m_messaggi->texts(), QStringList{kBackupRiuscito});
        QVERIFY(!f()->isVisible());
        QCOMPARE(ripristini.size(), 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void backupFallito()
    {
        m_dialoghi->answers << percorso(QStringLiteral("manca/copia"));
        clic(f()->cmdBackup);
        QCOMPARE(m_messaggi->texts(), QStringList{kBackupFallito});
        QVERIFY(f()->isVisible());
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void ripristino()
    {
        const QString backup = percorso(QStringLiteral("vecchia.BKC"));
        QVERIFY(scrivi(backup, SchedeDiProva::archivio({7, 8})));
        m_dialoghi->answers << backup;
        QSignalSpy ripristini(f(), &TfrmBakContatti::ripristinoEseguito);

        clic(f()->cmdRipristina);
        QCOMPARE(m_dialoghi->requests.size(), 1);
        const FileDialogOptions opzioni = m_dialoghi->requests[0].options;
        QCOMPARE(m_dialoghi->requests[0].kind, FakeFileDialogService::Kind::Open);
        QCOMPARE(opzioni.caption, QStringLiteral("Seleziona archivio contatti da ripristinare"));
        QVERIFY(opzioni.initialFileName.isEmpty());
        QVERIFY(opzioni.folder.isEmpty());
        QVERIFY(!opzioni.requireExisting);
        QVERIFY(!opzioni.readOnlyBox);
        QCOMPARE(opzioni.filter, QStringLiteral("Backup contatti (*.bkc)"));

        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio({7, 8}));
        QCOMPARE(m_messaggi->texts(), QStringList{kRipristinoRiuscito});
        QVERIFY(!f()->isVisible());
        QCOMPARE(ripristini.size(), 1);
    }

    // The disk fills up part way through the copy: the archive keeps every card it had.
    void ripristinoDiscoPieno()
    {
        const QString backup = percorso(QStringLiteral("grande.bkc"));
        QVERIFY(scrivi(backup, SchedeDiProva::archivio(50)));
        m_dialoghi->answers << backup;
        QSignalSpy ripristini(f(), &TfrmBakContatti::ripristinoEseguito);
        {
            LimiteScrittura limite(kRecord * 10 + 7);
            if (!limite.attiva())
                QSKIP("This system cannot limit the size of a written file");
            clic(f()->cmdRipristina);
        }
        QCOMPARE(m_messaggi->texts(), QStringList{kRipristinoFallito});
        QVERIFY(f()->isVisible());
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Contatti.pro", "grande.bkc"}));
        QCOMPARE(ripristini.size(), 0);
    }

    // Another writer keeps the archive's lock: the restore waits, then says so and changes nothing.
    void ripristinoArchivioOccupato()
    {
        const QString backup = percorso(QStringLiteral("vecchia.bkc"));
        QVERIFY(scrivi(backup, SchedeDiProva::archivio({7, 8})));
        m_dialoghi->answers << backup;
        QSignalSpy ripristini(f(), &TfrmBakContatti::ripristinoEseguito);
        QLockFile altro(ArchiveLock::lockPath(archivio()));
        QVERIFY(altro.tryLock());
        const auto attesa = ArchiveLock::waitTime();
        ArchiveLock::setWaitTime(std::chrono::milliseconds(100));
        clic(f()->cmdRipristina);
        ArchiveLock::setWaitTime(attesa);
        QCOMPARE(m_messaggi->texts(), QStringList{TestiAttesi::kArchivioOccupato});
        QVERIFY(f()->isVisible());
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
        QCOMPARE(ripristini.size(), 0);
    }

    void annullato_data()
    {
        QTest::addColumn<bool>("ripristino");
        QTest::newRow("backup") << false;
        QTest::newRow("ripristino") << true;
    }
    void annullato()
    {
        QFETCH(bool, ripristino);
        m_dialoghi->answers << QString();
        QSignalSpy ripristini(f(), &TfrmBakContatti::ripristinoEseguito);
        const QStringList prima = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden);

        clic(ripristino ? f()->cmdRipristina : f()->cmdBackup);
        QCOMPARE(m_dialoghi->requests.size(), 1);
        QVERIFY(m_messaggi->entries.isEmpty());
        QVERIFY(f()->isVisible());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden), prima);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
        QCOMPARE(ripristini.size(), 0);

        clic(f()->cmdAnnulla);
        QVERIFY(!f()->isVisible());
        QVERIFY(m_messaggi->entries.isEmpty());
    }

    // Restored from the card window: no card from before stays on screen, and the next card read comes
    // from the restored archive.
    void ripristinoDallaScheda()
    {
        m_finestra.reset();
        m_messaggi.reset();
        BancoContatti banco;
        QVERIFY(scrivi(banco.archivio(), SchedeDiProva::archivio(3)));
        const QString backup = QDir(banco.cartella()).filePath(QStringLiteral("copia.bkc"));
        QVERIFY(scrivi(backup, SchedeDiProva::archivio({7, 8})));
        QVERIFY(banco.mostra());
        QTest::mouseClick(banco.controllo("imgPrimo"), Qt::LeftButton);
        QCOMPARE(banco.finestra()->lblPosizione->text(), QStringLiteral("1"));

        m_dialoghi->answers << backup;
        ModaleAttesa modale([&](QWidget* w) {
            auto* bak = qobject_cast<TfrmBakContatti*>(w);
            if (!bak)
                return;
            // Whatever the card window shows by the time the restore ends goes too.
            banco.finestra()->caricaScheda(scheda(2), QStringLiteral("2"));
            QTest::mouseClick(bak->cmdRipristina, Qt::LeftButton);
        });
        QTest::mouseClick(banco.controllo("imgEsporta"), Qt::LeftButton);
        QCOMPARE(modale.viste(), 1);
        QCOMPARE(banco.messaggi.texts(), QStringList{kRipristinoRiuscito});
        QVERIFY(!frmBakContatti()->isVisible());
        QCOMPARE(leggi(banco.archivio()), SchedeDiProva::archivio({7, 8}));
        for (int c = 0; c < kNumeroCampi; ++c)
            QCOMPARE(banco.finestra()->campo(Campo(c))->text(), c == Web ? QStringLiteral("http://") : QString());
        QVERIFY(banco.finestra()->lblPosizione->text().isEmpty());

        QTest::mouseClick(banco.controllo("imgPrimo"), Qt::LeftButton);
        QCOMPARE(banco.finestra()->testi(), testiDaScheda(scheda(7)));
        QCOMPARE(banco.finestra()->lblPosizione->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestTfrmBakContatti)
#include "TestTfrmBakContatti.moc"
