#include "checks/TfrmCodFisc.h"
#include "checks/TfrmIva.h"
#include "support/FakeMessageService.h"
#include "support/TemaScuro.h"
#include "ui/FocusHighlight.h"
#include "ui/WindowFrame.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QString codFisc = QStringLiteral("CodFisc");
const QString iva = QStringLiteral("Iva");

const QString cfCorretto = QStringLiteral("Codice fiscale CORRETTO.");
const QString cfErrato = QStringLiteral("Attenzione: codice fiscale ERRATO.");
const QString cfLunghezza =
    QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
const QString ivaErrata = QStringLiteral("Attenzione: il numero di partita IVA è ERRATO.");
const QString ivaLunghezza =
    QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
const QString carattereNonValido = QStringLiteral("Attenzione: carattere non valido. Digitare solo valori numerici.");

QString ivaCorretta(const QString& ufficio)
{
    return QStringLiteral("Il numero di Partita IVA è CORRETTO.\r\n\r\nE' stato rilasciato dall'Ufficio IVA del "
                          "Comune di ") +
           ufficio + QStringLiteral(".");
}

// Either check window, seen through what the two have in common.
struct Finestra
{
    std::unique_ptr<CheckWindow> window;
    QPushButton* pulsante = nullptr;

    QLineEdit* box() const { return window->txtCodice; }
};

Finestra crea(const QString& tipo)
{
    Finestra f;
    if (tipo == codFisc) {
        auto* w = new TfrmCodFisc;
        f.pulsante = w->cmdCodFisc;
        f.window.reset(w);
    } else {
        auto* w = new TfrmIva;
        f.pulsante = w->cmdPartitaIva;
        f.window.reset(w);
    }
    return f;
}

bool mostra(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Types each character as a key press; characters beyond ASCII arrive with their text only, as a keyboard
// layout with that key sends them.
void digita(QWidget* box, const QString& testo)
{
    for (const QChar c : testo) {
        if (c.unicode() < 128)
            QTest::keyClick(box, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class TestFinestreControlli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aspetto_data();
    void aspetto();
    void maiuscoleConCursore_data();
    void maiuscoleConCursore();
    void pulsanteSecondoLunghezza_data();
    void pulsanteSecondoLunghezza();
    void invio_data();
    void invio();
    void messaggioDiLunghezza_data();
    void messaggioDiLunghezza();
    void esitoCodFisc_data();
    void esitoCodFisc();
    void esitoPartitaIva_data();
    void esitoPartitaIva();
    void filtroTastiIva_data();
    void filtroTastiIva();
    void escNonChiude_data();
    void escNonChiude();
    void incollaDalMenuNonFiltrato();
    void evidenziazioneFuoco_data();
    void evidenziazioneFuoco();
    void temaScuro_data();
    void temaScuro();
    void invioSulPulsante_data();
    void invioSulPulsante();
    void metodoDiInput_data();
    void metodoDiInput();
};

void TestFinestreControlli::aspetto_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QSize>("dimensione");
    QTest::addColumn<bool>("ridimensionabile");
    QTest::addColumn<int>("contestoGuida");
    QTest::addColumn<int>("capacita");
    QTest::addColumn<QString>("istruzione");
    QTest::addColumn<QString>("testoPulsante");
    QTest::addColumn<QString>("nomePulsante"); // what a screen reader says

    QTest::newRow("codice fiscale") << codFisc << " Controllo codice fiscale" << QSize(392, 208) << false << 0 << 16
                                    << "Immettere il codice fiscale nella casella sottostante"
                                    << "Controlla"
                                    << "Controlla codice fiscale";
    QTest::newRow("partita IVA") << iva << " Controllo partita IVA" << QSize(390, 206) << true << 1011 << 11
                                 << "Immettere la partita IVA nella casella sottostante"
                                 << "Controlla Partita IVA"
                                 << "Controlla partita IVA";
}

void TestFinestreControlli::aspetto()
{
    QFETCH(QString, tipo);
    QFETCH(QString, titolo);
    QFETCH(QSize, dimensione);
    QFETCH(bool, ridimensionabile);
    QFETCH(int, contestoGuida);
    QFETCH(int, capacita);
    QFETCH(QString, istruzione);
    QFETCH(QString, testoPulsante);
    QFETCH(QString, nomePulsante);

    Finestra f = crea(tipo);
    QWidget* w = f.window.get();
    QCOMPARE(w->windowTitle(), titolo);
    QCOMPARE(w->size(), dimensione);
    QCOMPARE(helpContext(w), contestoGuida);
    QCOMPARE(w->palette().color(QPalette::Window), WindowFrame::silver());
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));

    QCOMPARE(f.window->lblInfo->text(), istruzione);
    QCOMPARE(f.window->Label1->text(), QStringLiteral("e premere il pulsante di controllo."));
    QCOMPARE(f.box()->text(), QString());
    QCOMPARE(f.box()->maxLength(), capacita);
    QCOMPARE(f.box()->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(f.box()->font().pixelSize(), 21);
    QCOMPARE(background(f.box()), FocusHighlight::white());
    QCOMPARE(f.pulsante->text(), testoPulsante);
    QCOMPARE(f.pulsante->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(f.pulsante->isEnabled());
    QAccessibleInterface* pulsante = QAccessible::queryAccessibleInterface(f.pulsante);
    QCOMPARE(pulsante->role(), QAccessible::Button);
    QCOMPARE(pulsante->text(QAccessible::Name), nomePulsante);
    QCOMPARE(QAccessible::queryAccessibleInterface(f.box())->text(QAccessible::Name), istruzione);

    // Only the VAT window has a sizeable border.
    w->resize(dimensione + QSize(60, 40));
    QCOMPARE(w->size() != dimensione, ridimensionabile);
}

void TestFinestreControlli::maiuscoleConCursore_data()
{
    QTest::addColumn<QString>("iniziale");
    QTest::addColumn<int>("cursore");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<int>("cursoreAtteso");

    QTest::newRow("in coda") << "" << 0 << "rss"
                             << "RSS" << 3;
    QTest::newRow("in mezzo") << "RSSMRA" << 3 << "x"
                              << "RSSXMRA" << 4;
    QTest::newRow("in testa") << "RSSMRA" << 0 << "ab"
                              << "ABRSSMRA" << 2;
    QTest::newRow("cifre e segni restano") << "RSS" << 1 << "8-:"
                                           << "R8-:SS" << 4;
    // Only a to z become capitals: "ß" would otherwise grow into "SS" and shift the caret.
    QTest::newRow("accentate e sharp s restano") << "AB" << 1 << "\u00E0\u00DFc"
                                                 << "A\u00E0\u00DFCB" << 4;
    QTest::newRow("oltre la capacità") << "RSSMRA85T10A562S" << 5 << "x"
                                       << "RSSMRA85T10A562S" << 5;
}

void TestFinestreControlli::maiuscoleConCursore()
{
    QFETCH(QString, iniziale);
    QFETCH(int, cursore);
    QFETCH(QString, digitato);
    QFETCH(QString, atteso);
    QFETCH(int, cursoreAtteso);

    FakeMessageService messaggi;
    TfrmCodFisc w;
    w.txtCodice->setText(iniziale);
    w.txtCodice->setCursorPosition(cursore);
    digita(w.txtCodice, digitato);
    QCOMPARE(w.txtCodice->text(), atteso);
    QCOMPARE(w.txtCodice->cursorPosition(), cursoreAtteso);
    QVERIFY(messaggi.entries.isEmpty());
}

void TestFinestreControlli::pulsanteSecondoLunghezza_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("completo");
    QTest::addColumn<QString>("impostato");
    QTest::addColumn<QString>("mostrato");

    QTest::newRow("codice fiscale") << codFisc << "RSSMRA85T10A562S"
                                    << "rssmra85t10a562s"
                                    << "RSSMRA85T10A562S";
    // The VAT window leaves a text set by its opener as it is, letters included.
    QTest::newRow("partita IVA") << iva << "00743110157"
                                 << "0074311015a"
                                 << "0074311015a";
}

void TestFinestreControlli::pulsanteSecondoLunghezza()
{
    QFETCH(QString, tipo);
    QFETCH(QString, completo);
    QFETCH(QString, impostato);
    QFETCH(QString, mostrato);

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(f.pulsante->isEnabled());

    digita(f.box(), completo.first(1));
    QVERIFY(!f.pulsante->isEnabled());
    digita(f.box(), completo.mid(1).chopped(1));
    QVERIFY(!f.pulsante->isEnabled());
    digita(f.box(), completo.last(1));
    QVERIFY(f.pulsante->isEnabled());
    QCOMPARE(f.box()->text(), completo);

    QTest::keyClick(f.box(), Qt::Key_Backspace);
    QVERIFY(!f.pulsante->isEnabled());

    // A text set by the opener counts like a typed one.
    f.box()->setText(impostato);
    QVERIFY(f.pulsante->isEnabled());
    QCOMPARE(f.box()->text(), mostrato);
    f.box()->clear();
    QVERIFY(!f.pulsante->isEnabled());
    QVERIFY(messaggi.entries.isEmpty());
}

void TestFinestreControlli::invio_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("messaggio"); // empty: Enter does nothing

    QTest::newRow("codice fiscale vuoto") << codFisc << ""
                                          << "";
    QTest::newRow("codice fiscale di 15") << codFisc << "RSSMRA85T10A562"
                                          << "";
    QTest::newRow("codice fiscale di 16") << codFisc << "RSSMRA85T10A562S" << cfCorretto;
    QTest::newRow("codice fiscale di 16 minuscolo") << codFisc << "rssmra85t10a562s" << cfCorretto;
    QTest::newRow("codice fiscale di 16 errato") << codFisc << "RSSMRA85T10A562T" << cfErrato;
    QTest::newRow("partita IVA vuota") << iva << ""
                                       << "";
    QTest::newRow("partita IVA di 10") << iva << "0074311015"
                                       << "";
    QTest::newRow("partita IVA di 11") << iva << "00743110157" << ivaCorretta(QStringLiteral("Milano 1"));
}

void TestFinestreControlli::invio()
{
    QFETCH(QString, tipo);
    QFETCH(QString, digitato);
    QFETCH(QString, messaggio);

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    bool apertaDuranteIlMessaggio = false;
    messaggi.whileShowing = [&] { apertaDuranteIlMessaggio = f.window->isVisible(); };
    digita(f.box(), digitato);

    for (const int tasto : {Qt::Key_Return, Qt::Key_Enter}) {
        if (!f.window->isVisible())
            break;
        QTest::keyClick(f.box(), Qt::Key(tasto));
    }
    if (messaggio.isEmpty()) {
        QVERIFY(messaggi.entries.isEmpty());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.box()->text(), digitato);
    } else {
        QCOMPARE(messaggi.texts(), QStringList{messaggio});
        QVERIFY(apertaDuranteIlMessaggio);
        QVERIFY(!f.window->isVisible());
    }
}

void TestFinestreControlli::messaggioDiLunghezza_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("impostato");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<bool>("fuocoAlCodice");

    // A window opened empty still has its button enabled; a shorter text can only reach the handler
    // through a caller, since the button is disabled then.
    QTest::newRow("codice fiscale vuoto") << codFisc << "" << cfLunghezza << true;
    QTest::newRow("codice fiscale di 15") << codFisc << "RSSMRA85T10A562" << cfLunghezza << true;
    QTest::newRow("partita IVA vuota") << iva << "" << ivaLunghezza << false;
    QTest::newRow("partita IVA di 10") << iva << "0074311015" << ivaLunghezza << false;
}

void TestFinestreControlli::messaggioDiLunghezza()
{
    QFETCH(QString, tipo);
    QFETCH(QString, impostato);
    QFETCH(QString, messaggio);
    QFETCH(bool, fuocoAlCodice);

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    QWidget* fuocoPrima = nullptr;
    if (impostato.isEmpty()) {
        QTest::mouseClick(f.pulsante, Qt::LeftButton);
        fuocoPrima = f.pulsante;
    } else {
        f.box()->setText(impostato);
        fuocoPrima = QApplication::focusWidget();
        if (tipo == codFisc)
            static_cast<TfrmCodFisc*>(f.window.get())->cmdCodFiscClick();
        else
            static_cast<TfrmIva*>(f.window.get())->cmdPartitaIvaClick();
    }
    QCOMPARE(messaggi.texts(), QStringList{messaggio});
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.box()->text(), impostato);
    QCOMPARE(QApplication::focusWidget(), fuocoAlCodice ? static_cast<QWidget*>(f.box()) : fuocoPrima);
}

void TestFinestreControlli::esitoCodFisc_data()
{
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("mostrato");
    QTest::addColumn<QString>("messaggio");

    const auto riga = [](const char* nome, const QString& digitato, const QString& mostrato, const QString& msg) {
        QTest::newRow(nome) << digitato << mostrato << msg;
    };
    riga("corretto", "RSSMRA85T10A562S", "RSSMRA85T10A562S", cfCorretto);
    riga("minuscolo", "rssmra85t10a562s", "RSSMRA85T10A562S", cfCorretto);
    riga("lettere al posto delle cifre", "RSSMRAURTLMA562C", "RSSMRAURTLMA562C", cfCorretto);
    riga("due punti vale zero", "RSSMRA:5T10A562Z", "RSSMRA:5T10A562Z", cfCorretto);
    riga("lettera di controllo sbagliata", "RSSMRA85T10A562T", "RSSMRA85T10A562T", cfErrato);
    // Each stranger stands where a character worth 0 would make the code correct, so counting it as 0
    // (or as its nearest table entry) would be caught.
    riga("spazio", "RSSMRA 5T10A562Z", "RSSMRA 5T10A562Z", cfErrato);
    riga("segno meno", "RSSMRA-5T10A562Z", "RSSMRA-5T10A562Z", cfErrato);
    riga("accentata maiuscola", "RSSMR\u00C085T10A562S", "RSSMR\u00C085T10A562S", cfErrato);
    riga("accentata minuscola", "rssmr\u00E085t10a562s", "RSSMR\u00E085T10A562S", cfErrato);
}

void TestFinestreControlli::esitoCodFisc()
{
    QFETCH(QString, digitato);
    QFETCH(QString, mostrato);
    QFETCH(QString, messaggio);

    FakeMessageService messaggi;
    TfrmCodFisc w;
    QVERIFY(mostra(&w));
    digita(w.txtCodice, digitato);
    QCOMPARE(w.txtCodice->text(), mostrato);
    QVERIFY(w.cmdCodFisc->isEnabled());
    QTest::mouseClick(w.cmdCodFisc, Qt::LeftButton);
    QCOMPARE(messaggi.texts(), QStringList{messaggio});
    QVERIFY(!w.isVisible());
}

void TestFinestreControlli::esitoPartitaIva_data()
{
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("digitato"); // false: set by the opener
    QTest::addColumn<QString>("messaggio");

    const auto riga = [](const char* nome, const char* numero, bool digitato, const QString& messaggio) {
        QTest::newRow(nome) << QString::fromLatin1(numero) << digitato << messaggio;
    };
    riga("ufficio 015", "00743110157", true, ivaCorretta(QStringLiteral("Milano 1")));
    riga("ufficio 120 come 101", "12345671205", true, ivaCorretta(QStringLiteral("Bologna 2")));
    riga("ufficio 101", "12345671015", true, ivaCorretta(QStringLiteral("Bologna 2")));
    riga("ufficio con accento", "12345670405", true, ivaCorretta(QStringLiteral("Forl\u00EC")));
    // Offices without an entry: the text runs straight from "del Comune di " into the full stop.
    riga("undici zeri", "00000000000", true, ivaCorretta(QString()));
    riga("ufficio 103", "12345671031", true, ivaCorretta(QString()));
    riga("ufficio 999", "12345679992", true, ivaCorretta(QString()));
    riga("cifra di controllo sbagliata", "00743110158", true, ivaErrata);
    riga("solo l'undicesima cambiata", "12345671206", true, ivaErrata);
    riga("lettera dal chiamante", "1234567890A", false, ivaErrata);
    riga("spazio dal chiamante", " 0743110157", false, ivaErrata);
}

void TestFinestreControlli::esitoPartitaIva()
{
    QFETCH(QString, numero);
    QFETCH(bool, digitato);
    QFETCH(QString, messaggio);

    FakeMessageService messaggi;
    TfrmIva w;
    QVERIFY(mostra(&w));
    if (digitato)
        digita(w.txtCodice, numero);
    else
        w.txtCodice->setText(numero);
    QCOMPARE(w.txtCodice->text(), numero);
    QVERIFY(messaggi.entries.isEmpty());
    QTest::mouseClick(w.cmdPartitaIva, Qt::LeftButton);
    QCOMPARE(messaggi.texts(), QStringList{messaggio});
    QVERIFY(!w.isVisible());
}

void TestFinestreControlli::filtroTastiIva_data()
{
    QTest::addColumn<int>("tasto");
    QTest::addColumn<int>("modificatori");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("selezionaTutto");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<bool>("rifiutato");

    const auto riga = [](const char* nome, int tasto, int mod, const QString& testo, bool tutto, const char* atteso,
                         bool rifiutato) {
        QTest::newRow(nome) << tasto << mod << testo << tutto << QString::fromLatin1(atteso) << rifiutato;
    };
    const int nessuno = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    riga("lettera", Qt::Key_A, nessuno, "a", false, "123", true);
    riga("maiuscola", Qt::Key_A, int(Qt::ShiftModifier), "A", false, "123", true);
    riga("spazio", Qt::Key_Space, nessuno, " ", false, "123", true);
    riga("meno", Qt::Key_Minus, nessuno, "-", false, "123", true);
    riga("punto", Qt::Key_Period, nessuno, ".", false, "123", true);
    riga("accentata", Qt::Key_Egrave, nessuno, "\u00E8", false, "123", true);
    // The clipboard holds digits, so only the filter can stop the paste.
    riga("ctrl+v", Qt::Key_V, ctrl, "\x16", false, "123", true);
    riga("ctrl+x", Qt::Key_X, ctrl, "\x18", true, "123", true);
    riga("ctrl+c", Qt::Key_C, ctrl, "\x03", true, "123", true);
    riga("cifra", Qt::Key_7, nessuno, "7", false, "1237", false);
    riga("backspace", Qt::Key_Backspace, nessuno, "\b", false, "12", false);
    riga("canc", Qt::Key_Delete, nessuno, "\x7f", true, "", false);
    riga("freccia", Qt::Key_Left, nessuno, "", false, "123", false);
    riga("tab", Qt::Key_Tab, nessuno, "\t", false, "123", false);
}

void TestFinestreControlli::filtroTastiIva()
{
    QFETCH(int, tasto);
    QFETCH(int, modificatori);
    QFETCH(QString, testo);
    QFETCH(bool, selezionaTutto);
    QFETCH(QString, atteso);
    QFETCH(bool, rifiutato);

    FakeMessageService messaggi;
    QApplication::clipboard()->setText(QStringLiteral("456"));
    TfrmIva w;
    w.txtCodice->setText(QStringLiteral("123"));
    if (selezionaTutto)
        w.txtCodice->selectAll();
    bool invariatoDuranteIlMessaggio = true;
    messaggi.whileShowing = [&] { invariatoDuranteIlMessaggio &= w.txtCodice->text() == u"123"; };

    const auto premi = [&] {
        QTest::sendKeyEvent(QTest::Click, w.txtCodice, Qt::Key(tasto), testo, Qt::KeyboardModifiers(modificatori));
    };
    premi();
    QCOMPARE(w.txtCodice->text(), atteso);
    QCOMPARE(messaggi.texts(), rifiutato ? QStringList{carattereNonValido} : QStringList{});
    if (rifiutato) {
        premi();
        QCOMPARE(messaggi.texts(), QStringList(2, carattereNonValido));
        QCOMPARE(w.txtCodice->text(), atteso);
    }
    QVERIFY(invariatoDuranteIlMessaggio);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("456"));
}

void TestFinestreControlli::escNonChiude_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QStringList>("messaggi");

    // Neither window has a cancel button, so Esc is a character like any other: the code box lets it
    // pass without effect, the VAT filter refuses it (code 27) like every other control character.
    QTest::newRow("codice fiscale") << codFisc << QStringList{};
    QTest::newRow("partita IVA") << iva << QStringList{carattereNonValido};
}

void TestFinestreControlli::escNonChiude()
{
    QFETCH(QString, tipo);
    QFETCH(QStringList, messaggi);

    FakeMessageService servizio;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    digita(f.box(), QStringLiteral("123"));
    QTest::keyClick(f.box(), Qt::Key_Escape);
    QCOMPARE(servizio.texts(), messaggi);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.box()->text(), QStringLiteral("123"));
}

void TestFinestreControlli::incollaDalMenuNonFiltrato()
{
    FakeMessageService messaggi;
    QApplication::clipboard()->setText(QStringLiteral("1234567890A"));
    TfrmIva w;
    QVERIFY(mostra(&w));
    // The context menu's paste goes through QLineEdit::paste(), which no key filter sees.
    w.txtCodice->paste();
    QCOMPARE(w.txtCodice->text(), QStringLiteral("1234567890A"));
    QVERIFY(messaggi.entries.isEmpty());
    QVERIFY(w.cmdPartitaIva->isEnabled());
    QTest::mouseClick(w.cmdPartitaIva, Qt::LeftButton);
    QCOMPARE(messaggi.texts(), QStringList{ivaErrata});
    QVERIFY(!w.isVisible());
}

void TestFinestreControlli::evidenziazioneFuoco_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::newRow("codice fiscale") << codFisc;
    QTest::newRow("partita IVA") << iva;
}

void TestFinestreControlli::evidenziazioneFuoco()
{
    QFETCH(QString, tipo);

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    // The code box comes first in the tab order, so it has the focus when the window opens.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.box()));
    QCOMPARE(background(f.box()), FocusHighlight::yellow());

    QTest::keyClick(f.box(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.pulsante));
    QCOMPARE(background(f.box()), FocusHighlight::white());

    QTest::keyClick(f.pulsante, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.box()));
    QCOMPARE(background(f.box()), FocusHighlight::yellow());

    // Another window taking the activation is not a move of the focus inside this one.
    QWidget altra;
    altra.resize(100, 100);
    QVERIFY(mostra(&altra));
    QCOMPARE(background(f.box()), FocusHighlight::yellow());
    QVERIFY(mostra(f.window.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.box()));
    QCOMPARE(background(f.box()), FocusHighlight::yellow());
    // Tab and Backtab move the focus; the VAT filter does not take them for invalid characters.
    QVERIFY(messaggi.entries.isEmpty());
}

// A dark desktop colour scheme changes nothing the windows name: black text on silver, black text on
// the white or yellow code box.
void TestFinestreControlli::temaScuro_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::newRow("codice fiscale") << codFisc;
    QTest::newRow("partita IVA") << iva;
}

void TestFinestreControlli::temaScuro()
{
    QFETCH(QString, tipo);

    const TemaScuro tema;

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    const auto testo = [](const QWidget* w) { return w->palette().color(w->foregroundRole()); };
    QCOMPARE(f.window->palette().color(QPalette::Window), WindowFrame::silver());
    QCOMPARE(testo(f.window->lblInfo), QColor(Qt::black));
    QCOMPARE(testo(f.window->Label1), QColor(Qt::black));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.box()));
    QCOMPARE(f.box()->palette().color(QPalette::Text), QColor(Qt::black));
    QCOMPARE(background(f.box()), FocusHighlight::yellow());
    QTest::keyClick(f.box(), Qt::Key_Tab);
    QCOMPARE(f.box()->palette().color(QPalette::Text), QColor(Qt::black));
    QCOMPARE(background(f.box()), FocusHighlight::white());
}

// Enter on the focused button clicks it, as on the desktop the windows come from; Enter in the code box
// keeps its own rule (see invio).
void TestFinestreControlli::invioSulPulsante_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<int>("tasto");
    QTest::addColumn<QString>("digitato");
    QTest::addColumn<QString>("messaggio");
    QTest::addColumn<bool>("chiusa");

    QTest::newRow("codice fiscale, invio")
        << codFisc << int(Qt::Key_Return) << "RSSMRA85T10A562S" << cfCorretto << true;
    QTest::newRow("codice fiscale, tastierino")
        << codFisc << int(Qt::Key_Enter) << "RSSMRA85T10A562T" << cfErrato << true;
    QTest::newRow("codice fiscale, vuoto") << codFisc << int(Qt::Key_Return) << "" << cfLunghezza << false;
    QTest::newRow("partita IVA, invio") << iva << int(Qt::Key_Return) << "00743110157"
                                        << ivaCorretta(QStringLiteral("Milano 1")) << true;
    QTest::newRow("partita IVA, tastierino") << iva << int(Qt::Key_Enter) << "00743110158" << ivaErrata << true;
}

void TestFinestreControlli::invioSulPulsante()
{
    QFETCH(QString, tipo);
    QFETCH(int, tasto);
    QFETCH(QString, digitato);
    QFETCH(QString, messaggio);
    QFETCH(bool, chiusa);

    FakeMessageService messaggi;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    digita(f.box(), digitato);
    QTest::keyClick(f.box(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.pulsante));
    QVERIFY(messaggi.entries.isEmpty());

    QTest::keyClick(f.pulsante, Qt::Key(tasto));
    QCOMPARE(messaggi.texts(), QStringList{messaggio});
    QCOMPARE(f.window->isVisible(), !chiusa);
}

// Text that an input method commits (a compose sequence, a virtual keyboard) is typed text: the VAT box
// takes its digits only, with one message per refused character; the fiscal-code box takes it in capitals.
void TestFinestreControlli::metodoDiInput_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<int>("messaggi");

    QTest::newRow("partita IVA, cifre") << iva << "456"
                                        << "123456" << 0;
    QTest::newRow("partita IVA, lettere e spazi") << iva << "4a 5\u00E86"
                                                  << "123456" << 3;
    QTest::newRow("partita IVA, solo una lettera") << iva << "\u00E8"
                                                   << "123" << 1;
    QTest::newRow("partita IVA, controlli") << iva << "\t\x16"
                                            << "123" << 2;
    QTest::newRow("codice fiscale") << codFisc << "rs\u00E8"
                                    << "123RS\u00E8" << 0;
}

void TestFinestreControlli::metodoDiInput()
{
    QFETCH(QString, tipo);
    QFETCH(QString, commit);
    QFETCH(QString, atteso);
    QFETCH(int, messaggi);

    FakeMessageService servizio;
    Finestra f = crea(tipo);
    QVERIFY(mostra(f.window.get()));
    digita(f.box(), QStringLiteral("123"));
    QInputMethodEvent composto;
    composto.setCommitString(commit);
    QApplication::sendEvent(f.box(), &composto);
    QCOMPARE(f.box()->text(), atteso);
    QCOMPARE(servizio.texts(), QStringList(messaggi, carattereNonValido));
}

QTEST_MAIN(TestFinestreControlli)
#include "TestFinestreControlli.moc"
