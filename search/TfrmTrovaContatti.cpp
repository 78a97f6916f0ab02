#include "search/TfrmTrovaContatti.h"

#include "archive/MessaggiArchivio.h"
#include "search/ImpaginaStampa.h"
#include "search/ModelloRighe.h"
#include "search/RicercaLista.h"
#include "search/SchedaDallaRiga.h"
#include "search/StampaElenco.h"
#include "search/VistaRighe.h"
#include "ui/BusyCursor.h"
#include "ui/FocusHighlight.h"
#include "ui/HelpContext.h"
#include "ui/HoverHints.h"
#include "ui/KeyPressFilter.h"
#include "ui/MessageService.h"
#include "ui/Pictures.h"
#include "ui/PrinterService.h"
#include "ui/WindowFrame.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>

namespace {

const QColor kNero(0, 0, 0);
const QColor kBianco(255, 255, 255);
const QColor kMarrone(128, 0, 0);
const QColor kBlu(0, 0, 128);

// Each line is 14 pixels high, and the list scrolls sideways over 1200 pixels, the width of a whole line.
constexpr QSize kDimensioneRiga(1200, 14);

QString listaVuotaRicerca()
{
    return QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna scadenza.");
}

QString listaVuotaStampa()
{
    return QStringLiteral("Operazione di stampa non applicabile: la lista non contiene nessuna voce.");
}

QFont courierNew8()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(8);
    return font;
}

} // namespace

TfrmTrovaContatti::TfrmTrovaContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmTrovaContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Ricerca scheda in archivio"),
                      .clientSize = QSize(697, 393),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kRubrica});
    setHelpTopic(this, HelpTopicId::Cards);
    m_focus = new FocusHighlight(this);

    lblInfo01 = creaEtichetta(QStringLiteral("lblInfo01"),
                              QStringLiteral("Inserire una o più parole consecutive presenti nella scheda da cercare e "
                                             "premere il pulsante Trova."),
                              {26, 14}, kNero);
    lblInfo02 = creaEtichetta(QStringLiteral("lblInfo02"),
                              QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa chiave di "
                                             "ricerca, fare di nuovo clic su Trova."),
                              {26, 32}, kNero);

    shpTrova = new QFrame(this);
    shpTrova->setObjectName(QStringLiteral("shpTrova"));
    shpTrova->setAccessibleName(QStringLiteral("Riquadro di ricerca"));
    shpTrova->setFrameStyle(QFrame::Box | QFrame::Plain);
    shpTrova->setGeometry(26, 56, 645, 46);
    QPalette cornice = shpTrova->palette();
    cornice.setColor(QPalette::WindowText, kNero);
    shpTrova->setPalette(cornice);

    imgLente = decorationPicture(this, QStringLiteral("imgLente"), QStringLiteral("icon_trova"));
    imgLente->setAccessibleName(QStringLiteral("Lente"));
    imgLente->setScaledContents(true);
    imgLente->setGeometry(36, 63, 32, 32);

    txtTrova = new QLineEdit(this);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    txtTrova->setAccessibleName(QStringLiteral("Chiave di ricerca"));
    txtTrova->setAccessibleDescription(lblInfo01->text());
    txtTrova->setFont(verdana(8));
    txtTrova->setGeometry(80, 68, 470, 21);
    QPalette chiave = txtTrova->palette();
    chiave.setColor(QPalette::Text, kNero);
    txtTrova->setPalette(chiave);
    m_focus->watch(txtTrova);
    lblInfo01->setBuddy(txtTrova);
    // Enter runs the search as a click of Trova would, and goes on to the box as any other key.
    new KeyPressFilter(txtTrova, [this](QChar tasto) {
        if (tasto == QChar(13))
            cmdTrovaClick();
        return true;
    });

    cmdTrova = creaPulsante(QStringLiteral("cmdTrova"), QStringLiteral("Trova"), {566, 66, 93, 25});
    connect(cmdTrova, &QPushButton::clicked, this, &TfrmTrovaContatti::cmdTrovaClick);

    m_modello = new ModelloRighe(&m_lista, kDimensioneRiga, this);
    lstRecords = new VistaRighe(this);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setAccessibleName(QStringLiteral("Elenco delle schede"));
    lstRecords->setGeometry(26, 114, 645, 197);
    lstRecords->setFont(courierNew8());
    lstRecords->setUniformItemSizes(true);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstRecords->setTextElideMode(Qt::ElideNone);
    lstRecords->setWordWrap(false);
    lstRecords->setFocusPolicy(Qt::ClickFocus);
    lstRecords->setModel(m_modello);
    QPalette colori = lstRecords->palette();
    for (QPalette::ColorGroup gruppo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colori.setColor(gruppo, QPalette::Base, kBianco);
        colori.setColor(gruppo, QPalette::Text, kNero);
        colori.setColor(gruppo, QPalette::Highlight, kBlu);
        colori.setColor(gruppo, QPalette::HighlightedText, kBianco);
    }
    lstRecords->setPalette(colori);
    connect(lstRecords, &VistaRighe::doppioClic, this, &TfrmTrovaContatti::lstRecordsDblClick);

    lblInfo03 = creaEtichetta(QStringLiteral("lblInfo03"),
                              QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un doppio clic."),
                              {26, 320}, kMarrone);
    lstRecords->setAccessibleDescription(lblInfo03->text());

    cmdStampa = creaPulsante(QStringLiteral("cmdStampa"), QStringLiteral("Stampa"), {478, 350, 93, 25});
    connect(cmdStampa, &QPushButton::clicked, this, &TfrmTrovaContatti::cmdStampaClick);
    cmdImporta = creaPulsante(QStringLiteral("cmdImporta"), QStringLiteral("Annulla"), {578, 350, 93, 25});
    connect(cmdImporta, &QPushButton::clicked, this, &TfrmTrovaContatti::cmdImportaClick);

    setTabOrder(txtTrova, cmdTrova);
}

QLabel* TfrmTrovaContatti::creaEtichetta(const QString& nome, const QString& testo, const QPoint& posizione,
                                         const QColor& colore)
{
    auto* etichetta = new QLabel(testo, this);
    etichetta->setObjectName(nome);
    etichetta->setAccessibleName(testo);
    etichetta->setFont(verdana(8));
    setTextColour(etichetta, colore);
    etichetta->adjustSize();
    etichetta->move(posizione);
    return etichetta;
}

QPushButton* TfrmTrovaContatti::creaPulsante(const QString& nome, const QString& testo, const QRect& geometria)
{
    auto* pulsante = new QPushButton(testo, this);
    pulsante->setObjectName(nome);
    pulsante->setAccessibleName(testo);
    pulsante->setGeometry(geometria);
    pulsante->setFont(verdana(8));
    pulsante->setCursor(Qt::PointingHandCursor);
    // Not in the keyboard order; and Enter in the key box searches, it does not press a default button.
    pulsante->setFocusPolicy(Qt::ClickFocus);
    pulsante->setAutoDefault(false);
    pulsante->setDefault(false);
    return pulsante;
}

bool TfrmTrovaContatti::riempiLista()
{
    m_modello->iniziaCambio();
    const bool ok = m_lista.leggi(m_appDir);
    m_modello->fineCambio();
    lstRecords->horizontalScrollBar()->setValue(0);
    return ok;
}

int TfrmTrovaContatti::apri()
{
    if (!riempiLista()) {
        MessageService::current().showMessage(parentWidget(), messaggioErroreArchivio());
        return QDialog::Rejected;
    }
    return exec();
}

void TfrmTrovaContatti::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmTrovaContatti::FormShow()
{
    m_ultimaChiave.clear();
    lstRecords->clearSelection();
    lstRecords->selezionaRiga(0);
    txtTrova->clear();
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmTrovaContatti::cmdTrovaClick()
{
    if (m_lista.isEmpty()) {
        MessageService::current().showMessage(this, listaVuotaRicerca());
        return;
    }
    const QString chiave = chiaveRicerca(txtTrova->text());
    const EsitoRicerca esito = passoRicerca(m_lista, chiave, m_ultimaChiave, lstRecords->rigaSelezionata());
    lstRecords->selezionaRiga(esito.riga);
    m_ultimaChiave = chiave;
}

void TfrmTrovaContatti::lstRecordsDblClick()
{
    const int riga = lstRecords->rigaSelezionata();
    if (riga >= 0) {
        // A failure ends the loading without a message; a card already handed over stays loaded.
        caricaSchedeDellaRiga(m_appDir, m_lista.riga(riga), [this](const TSchedaContatto& scheda, qint64 posizione) {
            Q_EMIT schedaScelta(scheda, QString::number(posizione));
        });
    }
    accept();
}

void TfrmTrovaContatti::cmdStampaClick()
{
    if (m_lista.isEmpty()) {
        MessageService::current().showMessage(this, listaVuotaStampa());
        return;
    }
    if (!MessageService::current().askYesNo(this, QStringLiteral("Conferma operazione di stampa"),
                                            QStringLiteral("Si vuole stampare l'elenco dei contatti in archivio?")))
        return;
    QString errore;
    std::unique_ptr<PrinterService::Printer> stampante = PrinterService::current().defaultPrinter(&errore);
    if (stampante) {
        const BusyCursor attesa;
        if (stampaElenco(*stampante, m_lista, rigaDataStampa(QLocale::system(), QDateTime::currentDateTime()), &errore))
            return;
    }
    MessageService::current().reportError(this, errore);
}

void TfrmTrovaContatti::cmdImportaClick()
{
    reject();
}
