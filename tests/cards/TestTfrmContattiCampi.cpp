#include "app/Forms.h"
#include "cards/TfrmContatti.h"
#include "checks/TfrmCodFisc.h"
#include "checks/TfrmIva.h"
#include "support/ModaleAttesa.h"
#include "support/SchedeDiProva.h"
#include "support/TemaScuro.h"
#include "support/TestiAttesi.h"
#include "tests/cards/BancoContatti.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace TestiAttesi;

namespace {

const QColor kGiallo(255, 255, 0);
const QColor kBianco(255, 255, 255);
const QColor kRosso(255, 0, 0);
const QColor kNero(0, 0, 0);

const char* const kDidascalie[] = {"lblNuovo",   "lblSalva",   "lblTrova", "lblExcel",
                                   "lblEsporta", "lblElimina", "lblGuida", "lblEsci"};

QColor sfondo(const QLineEdit* box)
{
    return box->palette().color(QPalette::Base);
}

QColor colore(const QWidget* didascalia)
{
    return didascalia->palette().color(QPalette::WindowText);
}

void svuota(QLineEdit* box)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
}

} // namespace

// The card window's field behaviours and window conventions: focus highlight, button enabling, the fiscal
// code in capitals, the web address completion, the VAT key filter, the hover marks, the check windows and
// the shell requests.
class TestTfrmContattiCampi : public QObject
{
    Q_OBJECT

private:
    TfrmContatti* f() const { return m_banco->finestra(); }
    QWidget* c(const char* nome) const { return m_banco->controllo(nome); }
    QLineEdit* campo(Campo campo) const { return f()->campo(campo); }
    // The captions that are red now.
    QStringList rosse() const
    {
        QStringList out;
        for (const char* nome : kDidascalie) {
            if (colore(c(nome)) == kRosso)
                out << QLatin1StringView(nome);
            else if (colore(c(nome)) != kNero)
                out << QStringLiteral("%1 di un altro colore").arg(QLatin1StringView(nome));
        }
        return out;
    }

    std::unique_ptr<BancoContatti> m_banco;

private Q_SLOTS:
    void init()
    {
        m_banco = std::make_unique<BancoContatti>();
        QVERIFY(m_banco->mostra());
    }
    void cleanup() { m_banco.reset(); }

    // Tab runs through the sixteen boxes in record order, never stops elsewhere, and only the box that has
    // the focus is yellow.
    void evidenziazioneETabulazione()
    {
        for (int n = 0; n <= kNumeroCampi; ++n) {
            QLineEdit* atteso = campo(Campo(n % kNumeroCampi));
            QCOMPARE(QApplication::focusWidget(), atteso);
            for (int k = 0; k < kNumeroCampi; ++k)
                QCOMPARE(sfondo(campo(Campo(k))), campo(Campo(k)) == atteso ? kGiallo : kBianco);
            QTest::keyClick(atteso, Qt::Key_Tab);
        }
    }

    // Typed text always fits its slot in the record.
    void limitiDeiCampi()
    {
        const int capacita[kNumeroCampi] = {50, 50, 50, 120, 50, 5, 50, 50, 30, 30, 30, 120, 220, 16, 11, 250};
        const char* const nomi[kNumeroCampi] = {
            "txtCognome", "txtNome", "txtAzienda",   "txtVia",   "txtCitta", "txtCap",     "txtProv", "txtStato",
            "txtTel",     "txtFax",  "txtCellulare", "txtEmail", "txtWeb",   "txtCodFisc", "txtIva",  "txtNote"};
        for (int k = 0; k < kNumeroCampi; ++k) {
            QCOMPARE(campo(Campo(k))->objectName(), QLatin1StringView(nomi[k]));
            QCOMPARE(campo(Campo(k))->maxLength(), capacita[k]);
        }
        QTest::keyClicks(campo(Cap), QStringLiteral("001234"));
        QCOMPARE(campo(Cap)->text(), QStringLiteral("00123"));
    }

    void completamentoWeb_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<bool>("conTab");
        QTest::addColumn<QString>("atteso");

        QTest::newRow("vuoto") << "" << true << "http://";
        QTest::newRow("solo spazi") << "   " << false << "http://";
        QTest::newRow("senza prefisso") << "www.esempio.it" << true << "http://www.esempio.it";
        QTest::newRow("senza prefisso, tra spazi") << "  www.esempio.it " << false << "http://www.esempio.it";
        QTest::newRow("http") << "http://www.esempio.it" << true << "http://www.esempio.it";
        QTest::newRow("https") << "https://www.esempio.it" << false << "https://www.esempio.it";
        QTest::newRow("ftp") << "ftp://ftp.esempio.it" << true << "ftp://ftp.esempio.it";
        QTest::newRow("http con spazi in fondo") << "http://a.it  " << true << "http://a.it  ";
        QTest::newRow("spazio prima di http") << " http://a.it" << false << "http://http://a.it";
        QTest::newRow("HTTP maiuscolo") << "HTTP://A.IT" << true << "http://HTTP://A.IT";
        QTest::newRow("Https maiuscolo") << "Https://a.it" << false << "http://Https://a.it";
        QTest::newRow("FTP maiuscolo") << "FTP://f.it" << true << "http://FTP://f.it";
        QTest::newRow("ftp senza barre") << "ftp:f.it" << true << "http://ftp:f.it";
    }
    void completamentoWeb()
    {
        QFETCH(QString, digitato);
        QFETCH(bool, conTab);
        QFETCH(QString, atteso);
        QLineEdit* web = campo(Web);
        svuota(web);
        QVERIFY(!c("cmdWeb")->isEnabled());
        QTest::keyClicks(web, digitato);
        QCOMPARE(web->text(), digitato);

        if (conTab)
            QTest::keyClick(web, Qt::Key_Tab);
        else
            campo(Nome)->setFocus();
        QCOMPARE(web->text(), atteso);
        QVERIFY(c("cmdWeb")->isEnabled());
        QCOMPARE(sfondo(web), kBianco);
        QCOMPARE(QApplication::focusWidget(), conTab ? campo(CodFisc) : campo(Nome));
    }

    void codiceFiscaleMaiuscolo()
    {
        QLineEdit* cf = campo(CodFisc);
        cf->setFocus();
        QTest::keyClicks(cf, QStringLiteral("rssmra"));
        QCOMPARE(cf->text(), QStringLiteral("RSSMRA"));
        QCOMPARE(cf->cursorPosition(), 6);

        cf->setCursorPosition(3);
        QTest::keyClicks(cf, QStringLiteral("x"));
        QCOMPARE(cf->text(), QStringLiteral("RSSXMRA"));
        QCOMPARE(cf->cursorPosition(), 4);
        // Only a to z change; accented letters and digits stay as typed.
        QTest::sendKeyEvent(QTest::Click, cf, Qt::Key_Egrave, QStringLiteral("è"), Qt::NoModifier);
        QTest::keyClicks(cf, QStringLiteral("9b"));
        QCOMPARE(cf->text(), QStringLiteral("RSSXè9BMRA"));
        QCOMPARE(cf->cursorPosition(), 7);
        QTest::keyClick(cf, Qt::Key_Backspace);
        QCOMPARE(cf->text(), QStringLiteral("RSSXè9MRA"));
        QCOMPARE(cf->cursorPosition(), 6);
    }

    // Each button follows its box's length while the user types: on at the threshold, off one below it.
    void abilitazioneDigitando_data()
    {
        QTest::addColumn<int>("campo");
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QString>("quasi");
        QTest::addColumn<QString>("ultimo");

        QTest::newRow("codice fiscale a 16") << int(CodFisc) << QByteArray("cmdChkCodFisc") << "rssmra80a01h501"
                                             << "u";
        QTest::newRow("partita IVA a 11") << int(Iva) << QByteArray("cmdChkIva") << "1234567890"
                                          << "1";
        QTest::newRow("e-mail a 1") << int(Email) << QByteArray("cmdEmail") << ""
                                    << "m";
        QTest::newRow("sito a 1") << int(Web) << QByteArray("cmdWeb") << ""
                                  << "w";
        QTest::newRow("codice fiscale di spazi")
            << int(CodFisc) << QByteArray("cmdChkCodFisc") << QString(15, u' ') << " ";
    }
    void abilitazioneDigitando()
    {
        QFETCH(int, campo);
        QFETCH(QByteArray, pulsante);
        QFETCH(QString, quasi);
        QFETCH(QString, ultimo);
        QLineEdit* box = this->campo(Campo(campo));
        QWidget* button = c(pulsante.constData());
        svuota(box);
        QTest::keyClicks(box, quasi);
        QVERIFY(!button->isEnabled());
        QTest::keyClicks(box, ultimo);
        QVERIFY(button->isEnabled());
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(!button->isEnabled());
    }

    // Loading and clearing a card run the same rules as typing.
    void abilitazioneCaricando()
    {
        TestiScheda piena;
        piena[CodFisc] = QStringLiteral("rssmra80a01h501u");
        piena[Iva] = QStringLiteral("1234567890A");
        TestiScheda corta;
        corta[CodFisc] = QStringLiteral("RSSMRA80A01H501");
        corta[Iva] = QStringLiteral("1234567890");
        corta[Email] = QStringLiteral("m@esempio.it");
        corta[Web] = QStringLiteral("www.esempio.it");
        QVERIFY(SchedeDiProva::scrivi(m_banco->archivio(), SchedeDiProva::byte(SchedeDiProva::scheda(1, piena)) +
                                                               SchedeDiProva::byte(SchedeDiProva::scheda(2, corta))));
        const auto abilitati = [this] {
            QString out;
            for (const char* nome : {"cmdEmail", "cmdWeb", "cmdChkCodFisc", "cmdChkIva"})
                out += c(nome)->isEnabled() ? u'1' : u'0';
            return out;
        };

        QTest::mouseClick(c("imgPrimo"), Qt::LeftButton);
        QCOMPARE(campo(CodFisc)->text(), QStringLiteral("RSSMRA80A01H501U"));
        QCOMPARE(campo(Web)->text(), QString());
        QCOMPARE(abilitati(), QStringLiteral("0011"));
        QTest::mouseClick(c("imgAvanti"), Qt::LeftButton);
        QCOMPARE(abilitati(), QStringLiteral("1100"));
        QTest::mouseClick(c("imgPrimo"), Qt::LeftButton);
        QTest::mouseClick(c("lblNuovo"), Qt::LeftButton);
        QCOMPARE(abilitati(), QStringLiteral("0100"));
    }

    void filtroIva_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("modificatori");
        QTest::addColumn<bool>("tuttoSelezionato");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<bool>("rifiutato");

        const int nessuno = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("lettera") << int(Qt::Key_A) << nessuno << false << "123" << true;
        QTest::newRow("spazio") << int(Qt::Key_Space) << nessuno << false << "123" << true;
        QTest::newRow("meno") << int(Qt::Key_Minus) << nessuno << false << "123" << true;
        QTest::newRow("punto") << int(Qt::Key_Period) << nessuno << false << "123" << true;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << false << "123" << true;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << true << "123" << true;
        QTest::newRow("cifra") << int(Qt::Key_7) << nessuno << false << "1237" << false;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << nessuno << false << "12" << false;
        QTest::newRow("invio") << int(Qt::Key_Return) << nessuno << false << "123" << false;
        QTest::newRow("cifra su tutto") << int(Qt::Key_0) << nessuno << true << "0" << false;
    }
    void filtroIva()
    {
        QFETCH(int, tasto);
        QFETCH(int, modificatori);
        QFETCH(bool, tuttoSelezionato);
        QFETCH(QString, dopo);
        QFETCH(bool, rifiutato);
        QApplication::clipboard()->setText(QStringLiteral("456"));
        QLineEdit* iva = campo(Iva);
        iva->setFocus();
        QTest::keyClicks(iva, QStringLiteral("123"));
        if (tuttoSelezionato)
            iva->selectAll();

        QTest::keyClick(iva, Qt::Key(tasto), Qt::KeyboardModifiers(modificatori));
        QCOMPARE(iva->text(), dopo);
        QCOMPARE(m_banco->messaggi.texts(), rifiutato ? QStringList{kCarattereNonValido} : QStringList());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("456"));
    }

    void filtroIvaUnMessaggioPerCarattere()
    {
        QTest::keyClicks(campo(Iva), QStringLiteral("1a2 -3"));
        QCOMPARE(campo(Iva)->text(), QStringLiteral("123"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList(3, kCarattereNonValido));
    }

    // The box's own context-menu paste is not a typed character, so the filter does not see it.
    void incollaDalMenuNonFiltrato()
    {
        QApplication::clipboard()->setText(QStringLiteral("45a 6"));
        QTest::keyClicks(campo(Iva), QStringLiteral("123"));
        campo(Iva)->paste();
        QCOMPARE(campo(Iva)->text(), QStringLiteral("12345a 6"));
        QVERIFY(m_banco->messaggi.entries.isEmpty());
    }

    void suggerimenti_data()
    {
        QTest::addColumn<QByteArray>("controllo");
        QTest::addColumn<QString>("didascalia"); // the caption that turns red, if any
        QTest::addColumn<QString>("testo");      // and its text
        QTest::addColumn<QString>("suggerimento");

        QTest::newRow("imgNuovo") << QByteArray("imgNuovo") << "lblNuovo"
                                  << "Nuovo"
                                  << " Prepara la schermata ad accogliere una nuova scheda.";
        QTest::newRow("imgSalva")
            << QByteArray("imgSalva") << "lblSalva"
            << "Salva"
            << " Salva in archivio i dati relativi al contatto corrente oppure modifica una scheda esistente.";
        QTest::newRow("lblSalva")
            << QByteArray("lblSalva") << "lblSalva"
            << "Salva"
            << " Salva in archivio i dati relativi al contatto corrente oppure modifica una scheda esistente.";
        QTest::newRow("imgTrova") << QByteArray("imgTrova") << "lblTrova"
                                  << "Cerca"
                                  << " Cerca in archivio la scheda relativa ad un contatto.";
        QTest::newRow("imgExcel") << QByteArray("imgExcel") << "lblExcel"
                                  << "Esporta"
                                  << " Esporta la rubrica dei contatti in un foglio di Excel oppure in un file .CSV.";
        QTest::newRow("imgEsporta") << QByteArray("imgEsporta") << "lblEsporta"
                                    << "Backup"
                                    << " Effettua il backup o il ripristino della rubrica dei contatti.";
        QTest::newRow("imgElimina") << QByteArray("imgElimina") << "lblElimina"
                                    << "Elimina"
                                    << " Elimina dall'archivio la scheda relativa al contatto corrente.";
        QTest::newRow("imgGuida") << QByteArray("imgGuida") << "lblGuida"
                                  << "Guida"
                                  << " Visualizza la guida in linea.";
        QTest::newRow("imgEsci") << QByteArray("imgEsci") << "lblEsci"
                                 << "Esci"
                                 << " Esce dalla schermata di lavoro corrente.";
        QTest::newRow("lblEsci") << QByteArray("lblEsci") << "lblEsci"
                                 << "Esci"
                                 << " Esce dalla schermata di lavoro corrente.";
        QTest::newRow("imgPrimo") << QByteArray("imgPrimo") << ""
                                  << ""
                                  << " Visualizza la prima scheda in archivio.";
        QTest::newRow("imgIndietro") << QByteArray("imgIndietro") << ""
                                     << ""
                                     << " Visualizza la scheda precedente in archivio.";
        QTest::newRow("imgAvanti") << QByteArray("imgAvanti") << ""
                                   << ""
                                   << " Visualizza la scheda successiva in archivio.";
        QTest::newRow("imgUltimo") << QByteArray("imgUltimo") << ""
                                   << ""
                                   << " Visualizza l'ultima scheda in archivio.";
        QTest::newRow("cmdEmail") << QByteArray("cmdEmail") << ""
                                  << ""
                                  << " Invia una e-mail all'indirizzo indicato.";
        QTest::newRow("cmdWeb") << QByteArray("cmdWeb") << ""
                                << ""
                                << " Accedi al sito Internet indicato.";
        QTest::newRow("cmdChkCodFisc") << QByteArray("cmdChkCodFisc") << ""
                                       << ""
                                       << " Controlla codice fiscale.";
        QTest::newRow("cmdChkIva") << QByteArray("cmdChkIva") << ""
                                   << ""
                                   << " Controlla partita IVA.";
    }
    void suggerimenti()
    {
        QFETCH(QByteArray, controllo);
        QFETCH(QString, didascalia);
        QFETCH(QString, testo);
        QFETCH(QString, suggerimento);
        // The small buttons enabled, as they are when they can be clicked.
        campo(Email)->setText(QStringLiteral("m@esempio.it"));
        campo(CodFisc)->setText(QStringLiteral("RSSMRA80A01H501U"));
        campo(Iva)->setText(QStringLiteral("12345678901"));
        QVERIFY(f()->panInfo->text().isEmpty());

        QTest::mouseMove(c(controllo.constData()));
        QCOMPARE(f()->panInfo->text(), suggerimento);
        QCOMPARE(rosse(), didascalia.isEmpty() ? QStringList() : QStringList{didascalia});
        if (!didascalia.isEmpty())
            QCOMPARE(f()->findChild<QLabel*>(didascalia)->text(), testo);
    }

    // Red captions stay red, whatever else the pointer visits, until it reaches the window's background or
    // the icons' group box.
    void azzeramento_data()
    {
        QTest::addColumn<bool>("sulGruppo");
        QTest::newRow("sfondo della finestra") << false;
        QTest::newRow("grpControlli") << true;
    }
    void azzeramento()
    {
        QFETCH(bool, sulGruppo);
        QTest::mouseMove(c("imgSalva"));
        QTest::mouseMove(c("lblNuovo"));
        QCOMPARE(rosse(), (QStringList{"lblNuovo", "lblSalva"}));
        QTest::mouseMove(c("imgNuovo"));
        QTest::mouseMove(c("cmdWeb"));
        QCOMPARE(f()->panInfo->text(), QStringLiteral(" Accedi al sito Internet indicato."));
        QTest::mouseMove(campo(Nome));
        QTest::mouseMove(c("grpAnagrafica"), QPoint(4, 140));
        QCOMPARE(rosse(), (QStringList{"lblNuovo", "lblSalva"}));
        QCOMPARE(f()->panInfo->text(), QStringLiteral(" Accedi al sito Internet indicato."));

        QWidget* area = sulGruppo ? c("grpControlli") : static_cast<QWidget*>(f());
        const QPoint vuoto = sulGruppo ? QPoint(5, 230) : QPoint(196, 300);
        QVERIFY(!area->childAt(vuoto));
        QTest::mouseMove(area, vuoto);
        QCOMPARE(rosse(), QStringList());
        QVERIFY(f()->panInfo->text().isEmpty());
    }

    // A fresh check window per click, given the trimmed text; nothing it does comes back to the card.
    void pulsantiDiControllo_data()
    {
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QByteArray>("classe");
        QTest::addColumn<QString>("codice");

        QTest::newRow("codice fiscale") << QByteArray("cmdChkCodFisc") << int(CodFisc) << " RSSMRA80A01H50 "
                                        << QByteArray("TfrmCodFisc") << "RSSMRA80A01H50";
        QTest::newRow("partita IVA") << QByteArray("cmdChkIva") << int(Iva) << " 123456789 " << QByteArray("TfrmIva")
                                     << "123456789";
    }
    void pulsantiDiControllo()
    {
        QFETCH(QByteArray, pulsante);
        QFETCH(int, campo);
        QFETCH(QString, testo);
        QFETCH(QByteArray, classe);
        QFETCH(QString, codice);
        this->campo(Campo(campo))->setText(testo);
        QStringList visti;
        ModaleAttesa modale([&](QWidget* w) {
            auto* codiceBox = w->findChild<QLineEdit*>(QStringLiteral("txtCodice"));
            const bool condivisa = w == frmCodFisc() || w == frmIva();
            visti << QStringLiteral("%1 %2 %3 %4")
                         .arg(QLatin1StringView(w->metaObject()->className()), codiceBox->text())
                         .arg(int(w->parentWidget() == f()))
                         .arg(int(condivisa));
            codiceBox->setText(QStringLiteral("00000000000"));
        });

        for (int volta = 0; volta < 2; ++volta) {
            QTest::mouseClick(c(pulsante.constData()), Qt::LeftButton);
            QCOMPARE(modale.viste(), volta + 1);
            QVERIFY(modale.ultima.isNull());
        }
        const QString atteso = QStringLiteral("%1 %2 1 0").arg(QLatin1StringView(classe), codice);
        QCOMPARE(visti, QStringList(2, atteso));
        QCOMPARE(this->campo(Campo(campo))->text(), testo);
        QVERIFY(m_banco->messaggi.entries.isEmpty());
    }

    // What Vai and Invia hand the desktop, for texts loaded from the archive: only http, https and ftp
    // addresses, and mailto with the address percent-encoded.
    void indirizziAlDesktop_data()
    {
        QTest::addColumn<int>("campo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QStringList>("aperti");

        const int web = Web, email = Email;
        QTest::newRow("http") << web << "http://www.esempio.it/pagina" << QStringList{"http://www.esempio.it/pagina"};
        QTest::newRow("https") << web << "https://www.esempio.it" << QStringList{"https://www.esempio.it"};
        QTest::newRow("ftp") << web << "ftp://ftp.esempio.it/pub" << QStringList{"ftp://ftp.esempio.it/pub"};
        QTest::newRow("solo http://") << web << "http://" << QStringList{"http://"};
        QTest::newRow("file locale") << web << "file:///etc/passwd" << QStringList();
        QTest::newRow("javascript") << web << "javascript:alert(1)" << QStringList();
        QTest::newRow("altro schema") << web << "smb://server/condivisa" << QStringList();
        QTest::newRow("mailto nel sito") << web << "mailto:a@b.it" << QStringList();
        // A card saved without leaving the web box keeps the address without "http://": Vai completes it.
        QTest::newRow("senza schema") << web << "www.esempio.it" << QStringList{"http://www.esempio.it"};
        QTest::newRow("senza schema, con porta")
            << web << "www.esempio.it:8080/a" << QStringList{"http://www.esempio.it:8080/a"};
        QTest::newRow("schema in maiuscolo") << web << "HTTP://WWW.ESEMPIO.IT" << QStringList{"http://www.esempio.it"};
        QTest::newRow("e-mail") << email << "mario.rossi@esempio.it" << QStringList{"mailto:mario.rossi@esempio.it"};
        QTest::newRow("e-mail con parametri") << email << "a@b.it?attach=/etc/passwd&body=x"
                                              << QStringList{"mailto:a@b.it%3Fattach%3D%2Fetc%2Fpasswd%26body%3Dx"};
    }
    void indirizziAlDesktop()
    {
        QFETCH(int, campo);
        QFETCH(QString, testo);
        QFETCH(QStringList, aperti);
        TestiScheda testi;
        testi[campo] = testo;
        QVERIFY(SchedeDiProva::scrivi(m_banco->archivio(), SchedeDiProva::byte(SchedeDiProva::scheda(1, testi))));
        QTest::mouseClick(c("imgPrimo"), Qt::LeftButton);
        QCOMPARE(this->campo(Campo(campo))->text(), testo);

        QTest::mouseClick(c(campo == Web ? "cmdWeb" : "cmdEmail"), Qt::LeftButton);
        QCOMPARE(m_banco->shell.opened, aperti);
        for (const QString& url : std::as_const(m_banco->shell.opened))
            QVERIFY(!QUrl(url).hasQuery());
        QCOMPARE(this->campo(Campo(campo))->text(), testo);
        QVERIFY(m_banco->messaggi.entries.isEmpty());
    }

    // What Invia hands the desktop for an address typed or pasted with blanks and control characters
    // around it: the bare address.
    void emailConControlliDigitati_data()
    {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("modo"); // 0 typed keys, 1 Ctrl+V, 2 input method

        QTest::newRow("spazi digitati") << "  "
                                        << " " << 0;
        QTest::newRow("spazio a larghezza zero digitato") << "\u200B"
                                                          << "\u200B" << 0;
        QTest::newRow("segni di direzione digitati") << "\u200E"
                                                     << "\u200F\uFEFF" << 0;
        QTest::newRow("spazio indivisibile digitato") << "\u00A0"
                                                      << "\u00A0" << 0;
        QTest::newRow("tab e a capo incollati") << "\t "
                                                << "\r\n"
                                                << 1;
        QTest::newRow("controlli incollati") << "\x01\x1f"
                                             << "\x7f\u0085" << 1;
        QTest::newRow("controlli da un metodo di input") << "\x02\t"
                                                         << "\x03\u200B" << 2;
    }
    void emailConControlliDigitati()
    {
        QFETCH(QString, prima);
        QFETCH(QString, dopo);
        QFETCH(int, modo);
        QLineEdit* email = campo(Email);
        email->setFocus();
        const QString indirizzo = QStringLiteral("mario.rossi@esempio.it");
        const auto inserisci = [&](const QString& testo) {
            if (modo == 0) {
                for (const QChar ch : testo)
                    QTest::sendKeyEvent(QTest::Click, email, ch == u' ' ? Qt::Key_Space : Qt::Key_unknown, QString(ch),
                                        Qt::NoModifier);
            } else if (modo == 1) {
                QApplication::clipboard()->setText(testo);
                QTest::keyClick(email, Qt::Key_V, Qt::ControlModifier);
            } else {
                QInputMethodEvent composto;
                composto.setCommitString(testo);
                QApplication::sendEvent(email, &composto);
            }
        };
        inserisci(prima);
        QTest::keyClicks(email, indirizzo);
        inserisci(dopo);
        QCOMPARE(email->text(), prima + indirizzo + dopo);

        QTest::mouseClick(c("cmdEmail"), Qt::LeftButton);
        QCOMPARE(m_banco->shell.opened, QStringList{QStringLiteral("mailto:") + indirizzo});
        QCOMPARE(email->text(), prima + indirizzo + dopo);
    }

    // Vai on an address typed and saved without leaving the box (the icons take no focus).
    void vaiDopoSalvaSenzaUscire()
    {
        campo(Cognome)->setText(QStringLiteral("Rossi"));
        svuota(campo(Web));
        QTest::keyClicks(campo(Web), QStringLiteral("www.esempio.it"));
        QTest::mouseClick(c("lblSalva"), Qt::LeftButton);
        QCOMPARE(m_banco->messaggi.texts(), QStringList{kContattoSalvato});
        QCOMPARE(QApplication::focusWidget(), campo(Web));
        QCOMPARE(campo(Web)->text(), QStringLiteral("www.esempio.it"));

        QTest::mouseClick(c("lblNuovo"), Qt::LeftButton);
        QTest::mouseClick(c("imgPrimo"), Qt::LeftButton);
        QCOMPARE(campo(Web)->text(), QStringLiteral("www.esempio.it"));
        QTest::mouseClick(c("cmdWeb"), Qt::LeftButton);
        QCOMPARE(m_banco->shell.opened, QStringList{QStringLiteral("http://www.esempio.it")});
    }

    // An input method's commit goes through the VAT key filter like typed keys.
    void filtroIvaMetodoDiInput()
    {
        QLineEdit* iva = campo(Iva);
        iva->setFocus();
        QTest::keyClicks(iva, QStringLiteral("12"));
        QInputMethodEvent composto;
        composto.setCommitString(QStringLiteral("3\u00E8 4"));
        QApplication::sendEvent(iva, &composto);
        QCOMPARE(iva->text(), QStringLiteral("1234"));
        QCOMPARE(m_banco->messaggi.texts(), QStringList(2, kCarattereNonValido));
        QVERIFY(iva->inputMethodHints().testFlag(Qt::ImhDigitsOnly));
    }

    // After a click the small button has the focus; Enter then clicks it again, as Space does.
    void invioSulPulsanteConFuoco()
    {
        campo(Email)->setText(QStringLiteral("m@esempio.it"));
        QTest::mouseClick(c("cmdEmail"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), c("cmdEmail"));
        QTest::keyClick(c("cmdEmail"), Qt::Key_Return);
        QTest::keyClick(c("cmdEmail"), Qt::Key_Enter);
        QCOMPARE(m_banco->shell.opened, QStringList(3, QStringLiteral("mailto:m@esempio.it")));
    }

    // A dark desktop colour scheme changes none of the colours the window names: black text on white or
    // yellow boxes (maroon in the notes), navy and maroon field captions, black icon captions that turn red,
    // black position and hint line on silver.
    void temaScuro_data()
    {
        QTest::addColumn<QByteArray>("controllo");
        QTest::addColumn<QColor>("testo");
        QTest::addColumn<QColor>("sfondo"); // invalid: the window's silver shows through

        const QColor blu(0, 0, 128), bordeaux(128, 0, 0), argento(192, 192, 192);
        QTest::newRow("txtCognome con il fuoco") << QByteArray("txtCognome") << kNero << kGiallo;
        QTest::newRow("txtNome") << QByteArray("txtNome") << kNero << kBianco;
        QTest::newRow("txtIva") << QByteArray("txtIva") << kNero << kBianco;
        QTest::newRow("txtNote") << QByteArray("txtNote") << bordeaux << kBianco;
        QTest::newRow("lblCognome") << QByteArray("lblCognome") << blu << argento;
        QTest::newRow("lblWeb") << QByteArray("lblWeb") << blu << argento;
        QTest::newRow("lblNote") << QByteArray("lblNote") << bordeaux << argento;
        QTest::newRow("lblSalva") << QByteArray("lblSalva") << kNero << argento;
        QTest::newRow("lblEsci") << QByteArray("lblEsci") << kNero << argento;
        QTest::newRow("lblPosizione") << QByteArray("lblPosizione") << kNero << argento;
        QTest::newRow("panInfo") << QByteArray("panInfo") << kNero << argento;
    }
    void temaScuro()
    {
        QFETCH(QByteArray, controllo);
        QFETCH(QColor, testo);
        QFETCH(QColor, sfondo);

        m_banco.reset();
        const TemaScuro tema;
        m_banco = std::make_unique<BancoContatti>();
        QVERIFY(m_banco->mostra());
        QTest::mouseClick(c("imgPrimo"), Qt::LeftButton); // a message, so panInfo and lblPosizione get a turn
        QTest::mouseMove(c("imgGuida"));
        QTest::mouseMove(f(), QPoint(196, 300));

        QWidget* w = c(controllo.constData());
        const QPalette p = w->palette();
        QCOMPARE(p.color(w->foregroundRole()), testo);
        if (qobject_cast<QLineEdit*>(w))
            QCOMPARE(p.color(QPalette::Base), sfondo);
        else
            QCOMPARE(p.color(QPalette::Window), sfondo);

        if (controllo == "lblSalva") {
            QTest::mouseMove(w);
            QCOMPARE(w->palette().color(w->foregroundRole()), kRosso);
        }
    }

    // What a screen reader finds in the window: the position and the hint as the text of their labels (a
    // label without a fixed name is announced by Qt whenever its text changes), check buttons named after
    // what they check, and every icon button as a push button named by its caption, with a press action.
    void accessibilita()
    {
        TestiScheda testi;
        testi[Cognome] = QStringLiteral("Rossi");
        QVERIFY(SchedeDiProva::scrivi(m_banco->archivio(), SchedeDiProva::byte(SchedeDiProva::scheda(1, testi)) +
                                                               SchedeDiProva::byte(SchedeDiProva::scheda(2, testi))));
        const auto a11y = [this](const char* nome) { return QAccessible::queryAccessibleInterface(c(nome)); };

        QAccessibleInterface* posizione = a11y("lblPosizione");
        QCOMPARE(posizione->role(), QAccessible::StaticText);
        QCOMPARE(posizione->text(QAccessible::Description), QStringLiteral("Posizione in archivio"));
        QVERIFY(c("lblPosizione")->accessibleName().isEmpty());
        QCOMPARE(posizione->text(QAccessible::Name), QString());
        QTest::mouseClick(c("imgUltimo"), Qt::LeftButton);
        QCOMPARE(posizione->text(QAccessible::Name), QStringLiteral("2"));

        QAccessibleInterface* suggerimento = a11y("panInfo");
        QCOMPARE(suggerimento->text(QAccessible::Description), QStringLiteral("Suggerimento"));
        QVERIFY(c("panInfo")->accessibleName().isEmpty());
        QTest::mouseMove(c("imgElimina"));
        QCOMPARE(suggerimento->text(QAccessible::Name),
                 QStringLiteral(" Elimina dall'archivio la scheda relativa al contatto corrente."));

        const QList<QPair<const char*, const char*>> pulsanti = {{"cmdChkCodFisc", "Controlla codice fiscale"},
                                                                 {"cmdChkIva", "Controlla partita IVA"},
                                                                 {"cmdEmail", "Invia e-mail"},
                                                                 {"cmdWeb", "Vai al sito"}};
        for (const auto& [nome, atteso] : pulsanti) {
            QCOMPARE(a11y(nome)->role(), QAccessible::Button);
            QCOMPARE(a11y(nome)->text(QAccessible::Name), QString::fromUtf8(atteso));
        }

        const QList<QPair<const char*, const char*>> icone = {
            {"imgNuovo", "Nuovo"},
            {"imgSalva", "Salva"},
            {"imgTrova", "Cerca"},
            {"imgExcel", "Esporta"},
            {"imgEsporta", "Backup"},
            {"imgElimina", "Elimina"},
            {"imgGuida", "Guida"},
            {"imgEsci", "Esci"},
            {"imgPrimo", "Visualizza la prima scheda in archivio."},
            {"imgIndietro", "Visualizza la scheda precedente in archivio."},
            {"imgAvanti", "Visualizza la scheda successiva in archivio."},
            {"imgUltimo", "Visualizza l'ultima scheda in archivio."}};
        for (const auto& [nome, atteso] : icone) {
            QAccessibleInterface* icona = a11y(nome);
            QCOMPARE(icona->role(), QAccessible::Button);
            QCOMPARE(icona->text(QAccessible::Name), QString::fromUtf8(atteso));
            QVERIFY(icona->actionInterface());
            QCOMPARE(icona->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        }

        // Each command once, its caption and the lines between them left out; no field's group shows its picture.
        QStringList comandi;
        QAccessibleInterface* gruppo = a11y("grpControlli");
        for (int i = 0; i < gruppo->childCount(); ++i)
            comandi << QStringLiteral("%1 %2")
                           .arg(int(gruppo->child(i)->role()))
                           .arg(gruppo->child(i)->text(QAccessible::Name));
        QStringList attesi;
        for (qsizetype i = 0; i < 8; ++i)
            attesi << QStringLiteral("%1 %2").arg(int(QAccessible::Button)).arg(QString::fromUtf8(icone[i].second));
        QCOMPARE(comandi, attesi);
        for (const char* nome : {"grpAnagrafica", "grpRecapiti", "grpFiscale"})
            for (int i = 0; i < a11y(nome)->childCount(); ++i)
                QVERIFY2(a11y(nome)->child(i)->role() != QAccessible::Graphic, nome);

        // Pressing through the screen reader acts as a click does.
        a11y("imgPrimo")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(f()->lblPosizione->text(), QStringLiteral("1"));
        a11y("imgNuovo")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(f()->lblPosizione->text(), QString());
        QCOMPARE(posizione->text(QAccessible::Name), QString());
        QVERIFY(m_banco->messaggi.entries.isEmpty());
    }
};

QTEST_MAIN(TestTfrmContattiCampi)
#include "TestTfrmContattiCampi.moc"
