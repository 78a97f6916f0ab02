#include "cards/TfrmContatti.h"

#include "archive/CampiScheda.h"
#include "archive/MessaggiArchivio.h"
#include "archive/Trim.h"
#include "cards/MessaggiSchede.h"
#include "cards/RegoleCampi.h"
#include "checks/ControllaCodFisc.h"
#include "checks/ControllaPartitaIva.h"
#include "checks/MessaggiControlli.h"
#include "checks/TfrmCodFisc.h"
#include "checks/TfrmIva.h"
#include "ui/ActiveLabel.h"
#include "ui/CaretText.h"
#include "ui/FocusHighlight.h"
#include "ui/HelpContext.h"
#include "ui/HintLine.h"
#include "ui/HoverHints.h"
#include "ui/KeyPressFilter.h"
#include "ui/MessageService.h"
#include "ui/Pictures.h"
#include "ui/ScreenReader.h"
#include "ui/ShellService.h"
#include "ui/ValueLabel.h"
#include "ui/WindowFrame.h"
#include "vcard/ScambioVCard.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

namespace {

const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kNero(0, 0, 0);

// Three columns of edit boxes to the right of each group's picture.
constexpr int kCol1 = 64;
constexpr int kCol2 = 232;
constexpr int kCol3 = 400;
constexpr int kColWidth = 160;
constexpr int kBoxHeight = 21;

} // namespace

TfrmContatti::TfrmContatti(const QString& cartella, QWidget* parent) : QWidget(parent, Qt::Window), m_cartella(cartella)
{
    setObjectName(QStringLiteral("frmContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Rubrica contatti"),
                      .clientSize = QSize(783, 505),
                      .background = WindowFrame::silver(),
                      .minimiseButton = true,
                      .helpContext = HelpContext::kRubrica});
    setHelpTopic(this, HelpTopicId::Cards);

    panInfo = createHintLine(this);
    m_suggerimenti = new HoverHints(panInfo, HoverHints::Reset::WhenNotEmpty, this);
    m_evidenziazione = new FocusHighlight(this);

    creaComandi();
    creaCampi();
    creaNavigazione();

    m_suggerimenti->addResetArea(this);
    m_suggerimenti->addResetArea(grpControlli);

    setAcceptDrops(true);
    for (QLineEdit* box : m_campi)
        box->installEventFilter(this);
}

QString TfrmContatti::fileVCard(const QMimeData* dati)
{
    if (!dati || !dati->hasUrls() || dati->urls().size() != 1)
        return {};
    const QUrl url = dati->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString percorso = url.toLocalFile();
    return QFileInfo(percorso).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0 ? percorso : QString();
}

void TfrmContatti::dragEnterEvent(QDragEnterEvent* event)
{
    if (!fileVCard(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmContatti::dragMoveEvent(QDragMoveEvent* event)
{
    if (!fileVCard(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmContatti::dropEvent(QDropEvent* event)
{
    const QString percorso = fileVCard(event->mimeData());
    if (percorso.isEmpty())
        return;
    event->acceptProposedAction();
    importaVCard(percorso);
}

bool TfrmContatti::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (!fileVCard(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (!fileVCard(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
            dropEvent(static_cast<QDropEvent*>(event));
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmContatti::importaVCard(const QString& percorso)
{
    const FileVCardLetto letto = leggiFileVCard(percorso);
    if (!letto.esito.riuscito()) {
        messaggio(messaggioScambio(letto.esito, percorso));
        return;
    }
    if (!MessageService::current().askYesNo(this, QStringLiteral("Importazione contatti"),
                                            domandaImportazione(int(letto.schede.size()))))
        return;
    const EsitoScambio esito = aggiungiSchede(m_cartella, letto.schede);
    if (!esito.riuscito()) {
        messaggio(messaggioScambio(esito, percorso));
        return;
    }
    // The first card added, where browsing would show it, as it was written.
    TSchedaContatto prima{};
    schedaDaTesti(prima, letto.schede.constFirst());
    caricaScheda(prima, QString::number(esito.primaPosizione));
    messaggio(messaggioImportazione(esito));
}

void TfrmContatti::creaComandi()
{
    grpControlli = new QGroupBox(this);
    grpControlli->setObjectName(QStringLiteral("grpControlli"));
    grpControlli->setGeometry(8, 8, 184, 461);

    struct Comando
    {
        const char* nome;
        const char* immagine;
        QString caption;
        QString hint;
        void (TfrmContatti::*handler)();
    };
    const Comando comandi[] = {
        {"Nuovo", "icon_nuovo", QStringLiteral("Nuovo"),
         QStringLiteral(" Prepara la schermata ad accogliere una nuova scheda."), &TfrmContatti::imgNuovoMouseUp},
        {"Salva", "icon_salva", QStringLiteral("Salva"),
         QStringLiteral(
             " Salva in archivio i dati relativi al contatto corrente oppure modifica una scheda esistente."),
         &TfrmContatti::imgSalvaMouseUp},
        {"Trova", "icon_trova", QStringLiteral("Cerca"),
         QStringLiteral(" Cerca in archivio la scheda relativa ad un contatto."), &TfrmContatti::imgTrovaMouseUp},
        {"Excel", "icon_excel", QStringLiteral("Esporta"),
         QStringLiteral(" Esporta la rubrica dei contatti in un foglio di Excel oppure in un file .CSV."),
         &TfrmContatti::imgExcelMouseUp},
        {"Esporta", "icon_esporta", QStringLiteral("Backup"),
         QStringLiteral(" Effettua il backup o il ripristino della rubrica dei contatti."),
         &TfrmContatti::imgEsportaMouseUp},
        {"Elimina", "icon_elimina", QStringLiteral("Elimina"),
         QStringLiteral(" Elimina dall'archivio la scheda relativa al contatto corrente."),
         &TfrmContatti::imgEliminaMouseUp},
        {"Guida", "icon_guida", QStringLiteral("Guida"), QStringLiteral(" Visualizza la guida in linea."),
         &TfrmContatti::imgGuidaMouseUp},
        {"Esci", "icon_esci", QStringLiteral("Esci"), QStringLiteral(" Esce dalla schermata di lavoro corrente."),
         &TfrmContatti::imgEsciMouseUp},
    };
    constexpr int kPasso = 56;
    int y = 14;
    for (const Comando& c : comandi) {
        const QString nome = QLatin1StringView(c.nome);
        ActiveLabel* img =
            ActiveLabel::picture(grpControlli, QStringLiteral("img") + nome, QLatin1StringView(c.immagine), c.caption);
        img->setGeometry(20, y, 32, 32);
        ActiveLabel* lbl = ActiveLabel::caption(grpControlli, QStringLiteral("lbl") + nome, c.caption);
        lbl->move(64, y + (32 - lbl->height()) / 2);
        // For a screen reader each command once, as the picture's push button: the caption beside it does the
        // same, and the lines between commands only decorate.
        hideFromScreenReaders(lbl);
        m_suggerimenti->addPair(img, lbl, c.hint);
        collegaPulsante(img, lbl, c.handler);
        if (y + kPasso < 461) {
            auto* linea = new QFrame(grpControlli);
            linea->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            linea->setGeometry(12, y + 32 + (kPasso - 32) / 2 - 1, 160, 2);
            hideFromScreenReaders(linea);
        }
        y += kPasso;
    }
}

QLineEdit* TfrmContatti::creaCampo(QWidget* gruppo, Campo c, const QRect& geometria)
{
    const CampoScheda& info = kCampiScheda[c];
    auto* box = new QLineEdit(gruppo);
    box->setObjectName(QLatin1StringView(info.editBox));
    box->setMaxLength(info.capacity);
    box->setGeometry(geometria);
    box->setFont(verdana(8, true));
    const QString caption = QString::fromUtf8(info.caption);
    box->setAccessibleName(caption.chopped(1));

    auto* etichetta = new QLabel(caption, gruppo);
    etichetta->setObjectName(QStringLiteral("lbl") + QLatin1StringView(info.editBox).mid(3));
    etichetta->setFont(verdana(8, true));
    etichetta->setBuddy(box);
    setTextColour(etichetta, c == Note ? kMaroon : kNavy);
    etichetta->adjustSize();
    if (c == Note)
        etichetta->move(geometria.left() - etichetta->width() - 6, geometria.top() + 3);
    else
        etichetta->move(geometria.left(), geometria.top() - etichetta->height() - 1);

    m_evidenziazione->watch(box);
    m_campi[c] = box;
    return box;
}

QPushButton* TfrmContatti::creaPulsante(QWidget* gruppo, const QString& nome, const QString& testo,
                                        const QString& nomeAccessibile, const QRect& geometria,
                                        const QString& suggerimento)
{
    auto* pulsante = new QPushButton(testo, gruppo);
    pulsante->setObjectName(nome);
    pulsante->setAccessibleName(nomeAccessibile);
    pulsante->setAccessibleDescription(suggerimento.trimmed());
    pulsante->setGeometry(geometria);
    pulsante->setFont(verdana(8));
    pulsante->setCursor(Qt::PointingHandCursor);
    // Not in the keyboard order: Tab never stops on it, a click still takes the focus.
    pulsante->setFocusPolicy(Qt::ClickFocus);
    pulsante->setAutoDefault(false);
    m_suggerimenti->addHintOnly(pulsante, suggerimento);
    return pulsante;
}

void TfrmContatti::creaCampi()
{
    auto gruppo = [this](const QString& nome, const QRect& geometria, const QString& immagine) {
        auto* g = new QGroupBox(this);
        g->setObjectName(nome);
        g->setGeometry(geometria);
        QLabel* decorazione = decorationPicture(g, nome + QStringLiteral("Immagine"), immagine);
        decorazione->setGeometry(8, 20, 48, 48);
        hideFromScreenReaders(decorazione);
        return g;
    };
    auto riga = [](int y) { return QRect(0, y, kColWidth, kBoxHeight); };
    auto a = [](int x, int y, int w) { return QRect(x, y, w, kBoxHeight); };

    QGroupBox* anagrafica = gruppo(QStringLiteral("grpAnagrafica"), {200, 4, 575, 150}, QStringLiteral("deco_persona"));
    creaCampo(anagrafica, Cognome, riga(34).translated(kCol1, 0));
    creaCampo(anagrafica, Nome, riga(34).translated(kCol2, 0));
    creaCampo(anagrafica, Azienda, riga(34).translated(kCol3, 0));
    creaCampo(anagrafica, Via, a(kCol1, 76, kCol3 - kCol1 - 8));
    creaCampo(anagrafica, Citta, riga(76).translated(kCol3, 0));
    creaCampo(anagrafica, Cap, a(kCol1, 118, 60));
    creaCampo(anagrafica, Prov, riga(118).translated(kCol2, 0));
    creaCampo(anagrafica, Stato, riga(118).translated(kCol3, 0));

    QGroupBox* recapiti = gruppo(QStringLiteral("grpRecapiti"), {200, 158, 575, 108}, QStringLiteral("deco_telefono"));
    creaCampo(recapiti, Tel, riga(34).translated(kCol1, 0));
    creaCampo(recapiti, Fax, riga(34).translated(kCol2, 0));
    creaCampo(recapiti, Cellulare, riga(34).translated(kCol3, 0));
    txtEmail = creaCampo(recapiti, Email, a(kCol1, 76, 232));
    cmdEmail =
        creaPulsante(recapiti, QStringLiteral("cmdEmail"), QStringLiteral("Invia"), QStringLiteral("Invia e-mail"),
                     {300, 76, 44, kBoxHeight}, QStringLiteral(" Invia una e-mail all'indirizzo indicato."));
    txtWeb = creaCampo(recapiti, Web, a(352, 76, 160));
    cmdWeb = creaPulsante(recapiti, QStringLiteral("cmdWeb"), QStringLiteral("Vai"), QStringLiteral("Vai al sito"),
                          {516, 76, 44, kBoxHeight}, QStringLiteral(" Accedi al sito Internet indicato."));

    QGroupBox* fiscale = gruppo(QStringLiteral("grpFiscale"), {200, 270, 575, 130}, QStringLiteral("deco_documento"));
    txtCodFisc = creaCampo(fiscale, CodFisc, a(kCol1, 34, 232));
    cmdChkCodFisc = creaPulsante(fiscale, QStringLiteral("cmdChkCodFisc"), QStringLiteral("OK"),
                                 QStringLiteral("Controlla codice fiscale"), {300, 34, 44, kBoxHeight},
                                 QStringLiteral(" Controlla codice fiscale."));
    txtIva = creaCampo(fiscale, Iva, a(352, 34, 160));
    // Digits only: an input method has nothing to compose here, and what one commits is filtered anyway.
    txtIva->setInputMethodHints(Qt::ImhDigitsOnly);
    cmdChkIva = creaPulsante(fiscale, QStringLiteral("cmdChkIva"), QStringLiteral("OK"),
                             QStringLiteral("Controlla partita IVA"), {516, 34, 44, kBoxHeight},
                             QStringLiteral(" Controlla partita IVA."));
    creaCampo(fiscale, Note, a(kCol1 + 48, 80, 560 - kCol1 - 48));
    QPalette notePalette = m_campi[Note]->palette();
    notePalette.setColor(QPalette::Text, kMaroon);
    m_campi[Note]->setPalette(notePalette);
    txtCognome = m_campi[Cognome];

    // The keyboard runs through the boxes in the order of the record.
    for (int c = 1; c < kNumeroCampi; ++c)
        setTabOrder(m_campi[c - 1], m_campi[c]);

    cmdEmail->setEnabled(false);
    cmdChkCodFisc->setEnabled(false);
    cmdChkIva->setEnabled(false);
    txtWeb->setText(kWebPredefinito.toString());

    connect(txtWeb, &QLineEdit::textChanged, this, &TfrmContatti::txtWebChange);
    connect(txtEmail, &QLineEdit::textChanged, this, &TfrmContatti::txtEmailChange);
    connect(txtCodFisc, &QLineEdit::textChanged, this, &TfrmContatti::txtCodFiscChange);
    connect(txtIva, &QLineEdit::textChanged, this, &TfrmContatti::txtIvaChange);
    new KeyPressFilter(txtIva, [this](QChar carattere) { return txtIvaKeyPress(carattere); });
    connect(m_evidenziazione, &FocusHighlight::exited, this, [this](QLineEdit* box) {
        if (box == txtWeb)
            txtWebExit();
    });
    connect(cmdWeb, &QPushButton::clicked, this, &TfrmContatti::cmdWebClick);
    connect(cmdEmail, &QPushButton::clicked, this, &TfrmContatti::cmdEmailClick);
    connect(cmdChkCodFisc, &QPushButton::clicked, this, &TfrmContatti::cmdChkCodFiscClick);
    connect(cmdChkIva, &QPushButton::clicked, this, &TfrmContatti::cmdChkIvaClick);
}

void TfrmContatti::creaNavigazione()
{
    struct Freccia
    {
        const char* nome;
        const char* immagine;
        QString hint;
        int x;
        void (TfrmContatti::*handler)();
    };
    const Freccia frecce[] = {
        {"imgPrimo", "icon_primo", QStringLiteral(" Visualizza la prima scheda in archivio."), 208,
         &TfrmContatti::imgPrimoMouseUp},
        {"imgIndietro", "icon_indietro", QStringLiteral(" Visualizza la scheda precedente in archivio."), 248,
         &TfrmContatti::imgIndietroMouseUp},
        {"imgAvanti", "icon_avanti", QStringLiteral(" Visualizza la scheda successiva in archivio."), 695,
         &TfrmContatti::imgAvantiMouseUp},
        {"imgUltimo", "icon_ultimo", QStringLiteral(" Visualizza l'ultima scheda in archivio."), 735,
         &TfrmContatti::imgUltimoMouseUp},
    };
    for (const Freccia& f : frecce) {
        ActiveLabel* img =
            ActiveLabel::picture(this, QLatin1StringView(f.nome), QLatin1StringView(f.immagine), f.hint.trimmed());
        img->setGeometry(f.x, 420, 32, 32);
        m_suggerimenti->addHintOnly(img, f.hint);
        connect(img, &ActiveLabel::mouseReleased, this, f.handler);
    }

    lblPosizione = new QLabel(this);
    lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    showsValue(lblPosizione, QStringLiteral("Posizione in archivio"));
    lblPosizione->setFont(verdana(10, true));
    setTextColour(lblPosizione, kNero);
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setGeometry(200 + (575 - 221) / 2, 426, 221, 20);

    cmdSincronizza = creaPulsante(this, QStringLiteral("cmdSincronizza"), QStringLiteral("Sincronizza"),
                                  QStringLiteral("Sincronizza"), QRect(290, 423, 84, 26),
                                  QStringLiteral(" Sincronizza l'archivio con una rubrica in rete "));
    connect(cmdSincronizza, &QPushButton::clicked, this, &TfrmContatti::cmdSincronizzaClick);
}

void TfrmContatti::cmdSincronizzaClick()
{
    // The synchronisation may change any card: none from before stays on screen.
    pulisciScheda();
    Q_EMIT sincronizzaRichiesta();
}

void TfrmContatti::collegaPulsante(ActiveLabel* immagine, ActiveLabel* didascalia, void (TfrmContatti::*gestore)())
{
    connect(immagine, &ActiveLabel::mouseReleased, this, gestore);
    connect(didascalia, &ActiveLabel::mouseReleased, this, gestore);
}

TestiScheda TfrmContatti::testi() const
{
    TestiScheda out;
    for (int c = 0; c < kNumeroCampi; ++c)
        out[c] = m_campi[c]->text();
    return out;
}

void TfrmContatti::caricaScheda(const TSchedaContatto& scheda, const QString& posizione)
{
    const TestiScheda testi = testiDaScheda(scheda);
    for (int c = 0; c < kNumeroCampi; ++c)
        m_campi[c]->setText(testi[c]);
    lblPosizione->setText(posizione);
    m_caricata = scheda;
}

void TfrmContatti::messaggio(const QString& testo)
{
    MessageService::current().showMessage(this, testo);
}

void TfrmContatti::pulisciScheda()
{
    for (QLineEdit* box : m_campi)
        box->setText(box == txtWeb ? kWebPredefinito.toString() : QString());
    lblPosizione->setText(QString());
    m_caricata = {};
}

void TfrmContatti::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmContatti::FormShow()
{
    pulisciScheda();
    txtCognome->setFocus(Qt::OtherFocusReason);
}

void TfrmContatti::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    FormClose();
}

void TfrmContatti::FormClose()
{
    Q_EMIT chiusa();
}

void TfrmContatti::imgNuovoMouseUp()
{
    pulisciScheda();
    txtCognome->setFocus(Qt::OtherFocusReason);
}

void TfrmContatti::scorri(Scorrimento direzione)
{
    const EsitoScorrimento esito = ::scorri(m_cartella, direzione, lblPosizione->text());
    if (esito.tipo == EsitoScorrimento::Mostra)
        caricaScheda(esito.scheda, esito.posizione);
    else
        lblPosizione->setText(esito.posizione);
    if (esito.tipo == EsitoScorrimento::NessunaScheda)
        messaggio(messaggioNessunaScheda());
    else if (esito.tipo == EsitoScorrimento::Errore)
        messaggio(messaggioErroreArchivio());
}

void TfrmContatti::imgPrimoMouseUp()
{
    scorri(Scorrimento::Prima);
}

void TfrmContatti::imgIndietroMouseUp()
{
    scorri(Scorrimento::Precedente);
}

void TfrmContatti::imgAvantiMouseUp()
{
    scorri(Scorrimento::Successiva);
}

void TfrmContatti::imgUltimoMouseUp()
{
    scorri(Scorrimento::Ultima);
}

void TfrmContatti::imgSalvaMouseUp()
{
    const TestiScheda scheda = testi();
    if (!haContenutoMinimo(scheda)) {
        messaggio(messaggioContenutoMinimo());
        txtCognome->setFocus(Qt::OtherFocusReason);
        return;
    }
    const EsitoScrittura esito = salva(m_cartella, scheda, lblPosizione->text(), m_caricata);
    switch (esito.tipo) {
    case EsitoScrittura::Aggiunta:
    case EsitoScrittura::Modificata:
        // The boxes keep what was typed; the record as written is what the next save must find.
        lblPosizione->setText(esito.posizione);
        m_caricata = esito.scheda;
        messaggio(esito.tipo == EsitoScrittura::Aggiunta ? messaggioContattoSalvato() : messaggioModificheSalvate());
        break;
    default:
        esitoNonScritto(esito);
        break;
    }
}

void TfrmContatti::imgEliminaMouseUp()
{
    if (Trim(lblPosizione->text()).isEmpty()) {
        messaggio(messaggioCancellazioneNonValida());
        return;
    }
    if (!MessageService::current().askYesNo(this, titoloConfermaCancellazione(), domandaConfermaCancellazione()))
        return;
    const EsitoScrittura esito = elimina(m_cartella, lblPosizione->text(), m_caricata);
    if (esito.tipo != EsitoScrittura::Eliminata) {
        esitoNonScritto(esito);
        return;
    }
    pulisciScheda();
    txtCognome->setFocus(Qt::OtherFocusReason);
}

void TfrmContatti::esitoNonScritto(const EsitoScrittura& esito)
{
    switch (esito.tipo) {
    case EsitoScrittura::Cambiata:
        if (esito.posizione.isEmpty())
            pulisciScheda();
        else
            caricaScheda(esito.scheda, esito.posizione);
        messaggio(messaggioSchedaCambiata());
        break;
    case EsitoScrittura::Occupato:
        messaggio(messaggioArchivioOccupato());
        break;
    case EsitoScrittura::Guasto:
        messaggio(esito.messaggio);
        break;
    default:
        messaggio(messaggioErroreArchivio());
        break;
    }
}

void TfrmContatti::imgTrovaMouseUp()
{
    Q_EMIT cercaRichiesta();
}

void TfrmContatti::imgExcelMouseUp()
{
    Q_EMIT esportaRichiesta();
}

void TfrmContatti::imgEsportaMouseUp()
{
    // No card from before a restore may stay on screen.
    pulisciScheda();
    Q_EMIT backupRichiesto();
}

void TfrmContatti::imgGuidaMouseUp()
{
    Q_EMIT guidaRichiesta(HelpTopicId::Cards);
}

void TfrmContatti::imgEsciMouseUp()
{
    close();
}

void TfrmContatti::txtWebExit()
{
    setBackground(txtWeb, FocusHighlight::white());
    const QString completo = completaIndirizzoWeb(txtWeb->text());
    if (completo != txtWeb->text())
        txtWeb->setText(completo);
}

void TfrmContatti::txtWebChange()
{
    cmdWeb->setEnabled(!txtWeb->text().isEmpty());
}

void TfrmContatti::txtEmailChange()
{
    cmdEmail->setEnabled(!txtEmail->text().isEmpty());
}

void TfrmContatti::txtCodFiscChange()
{
    replaceTextKeepingCaret(txtCodFisc, MaiuscoleCodFisc(txtCodFisc->text()));
    cmdChkCodFisc->setEnabled(txtCodFisc->text().size() >= kLunghezzaCodFisc);
}

void TfrmContatti::txtIvaChange()
{
    cmdChkIva->setEnabled(txtIva->text().size() >= kLunghezzaPartitaIva);
}

bool TfrmContatti::txtIvaKeyPress(QChar carattere)
{
    if (carattereAmmessoPartitaIva(carattere))
        return true;
    messaggio(messaggioCarattereNonValido());
    return false;
}

void TfrmContatti::cmdWebClick()
{
    ShellService::current().open(this, indirizzoWebDaAprire(txtWeb->text()));
}

void TfrmContatti::cmdEmailClick()
{
    ShellService::current().open(this, indirizzoEmailDaAprire(txtEmail->text()));
}

void TfrmContatti::cmdChkCodFiscClick()
{
    TfrmCodFisc controllo(this);
    controllo.txtCodice->setText(Trim(txtCodFisc->text()));
    controllo.exec();
}

void TfrmContatti::cmdChkIvaClick()
{
    TfrmIva controllo(this);
    controllo.txtCodice->setText(Trim(txtIva->text()));
    controllo.exec();
}
