#include "export/TfrmExpContatti.h"

#include "archive/Trim.h"
#include "export/Automazione.h"
#include "export/DelegatoGriglia.h"
#include "export/EsportazioneCsv.h"
#include "export/EsportazioneExcel.h"
#include "export/IntestazioneGriglia.h"
#include "export/MessaggiEsportazione.h"
#include "export/ModelloGriglia.h"
#include "ui/ActiveLabel.h"
#include "ui/BusyCursor.h"
#include "ui/FileDialogService.h"
#include "ui/HintLine.h"
#include "ui/HoverHints.h"
#include "ui/MessageService.h"
#include "ui/ScreenReader.h"
#include "ui/WindowFrame.h"
#include "vcard/CodecVCard.h"
#include "vcard/ScambioVCard.h"

#include <QAbstractButton>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QIODevice>
#include <QLabel>
#include <QShowEvent>
#include <QTableView>

#include <array>
#include <exception>

namespace {
constexpr int kAltezzaRiga = 24;
} // namespace

TfrmExpContatti::TfrmExpContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmExpContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Esportazione rubrica contatti"),
                      .clientSize = QSize(783, 505),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = true,
                      .helpContext = HelpContext::kRubrica});
    setHelpTopic(this, HelpTopicId::Export);

    panInfo = createHintLine(this);
    m_hints = new HoverHints(panInfo, HoverHints::Reset::Always, this);
    creaComandi();
    creaGriglia();
    m_hints->addResetArea(grpControlli);
}

const GrigliaEsportazione& TfrmExpContatti::griglia() const
{
    return m_modello->griglia();
}

void TfrmExpContatti::creaComandi()
{
    grpControlli = new QGroupBox(this);
    grpControlli->setObjectName(QStringLiteral("grpControlli"));
    grpControlli->setGeometry(5, 6, 773, 73);

    struct Comando
    {
        const char* nome;
        const char* immagine;
        QString caption;
        QString hint;
        void (TfrmExpContatti::*handler)();
    };
    const Comando comandi[] = {
        {"Aggiorna", "icon_persone", QStringLiteral("Persone"),
         QStringLiteral(" Visualizza l'elenco delle schede contenenti cognome o nome."),
         &TfrmExpContatti::imgAggiornaMouseUp},
        {"Passate", "icon_aziende", QStringLiteral("Aziende"),
         QStringLiteral(" Visualizza l'elenco delle schede contenenti l'azienda."),
         &TfrmExpContatti::imgPassateMouseUp},
        {"Word", "icon_email", QStringLiteral("E-mail"),
         QStringLiteral(" Visualizza l'elenco delle schede contenenti l'indirizzo e-mail."),
         &TfrmExpContatti::imgWordMouseUp},
        {"Tutte", "icon_tutti", QStringLiteral("Tutti"),
         QStringLiteral(" Visualizza l'elenco di tutte le scadenze in archivio."), &TfrmExpContatti::imgTutteMouseUp},
        {"Excel", "icon_export_excel", QStringLiteral("Esporta in Excel"),
         QStringLiteral(" Esporta dati in un file di Microsoft Excel."), &TfrmExpContatti::imgExcelMouseUp},
        {"CSV", "icon_export_csv", QStringLiteral("Esporta in .CSV"), QStringLiteral(" Esporta dati in un file .CSV."),
         &TfrmExpContatti::imgCSVMouseUp},
        {"Guida", "icon_guida", QStringLiteral("Guida"), QStringLiteral(" Visualizza la guida in linea."),
         &TfrmExpContatti::imgGuidaMouseUp},
        {"Esci", "icon_esci", QStringLiteral("Esci"), QStringLiteral(" Esce dalla schermata di lavoro corrente."),
         &TfrmExpContatti::imgEsciMouseUp},
    };
    // Eight equal slots across the box, each a picture with its caption centred under it.
    constexpr int kSlot = 773 / 8;
    int x = 0;
    for (const Comando& c : comandi) {
        const QString nome = QLatin1StringView(c.nome);
        ActiveLabel* img =
            ActiveLabel::picture(grpControlli, QStringLiteral("img") + nome, QLatin1StringView(c.immagine), c.caption);
        img->setGeometry(x + (kSlot - 32) / 2, 12, 32, 32);
        ActiveLabel* lbl = ActiveLabel::caption(grpControlli, QStringLiteral("lbl") + nome, c.caption);
        lbl->move(x + (kSlot - lbl->width()) / 2, 48);
        setTextColour(lbl, HoverHints::black());
        img->setAccessibleDescription(c.hint.trimmed());
        // For a screen reader each command once, as the picture's push button: the caption under it does the same.
        hideFromScreenReaders(lbl);
        m_hints->addPair(img, lbl, c.hint);
        connect(img, &ActiveLabel::mouseReleased, this, c.handler);
        connect(lbl, &ActiveLabel::mouseReleased, this, c.handler);
        x += kSlot;
    }
}

void TfrmExpContatti::creaGriglia()
{
    m_modello = new ModelloGriglia(this);
    grdRecords = new QTableView(this);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setAccessibleName(QStringLiteral("Archivio contatti"));
    grdRecords->setAccessibleDescription(
        QStringLiteral("Una riga per scheda; le intestazioni di colonna sono i nomi dei campi."));
    grdRecords->setGeometry(0, 505 - 26 - 391, 783, 391);
    grdRecords->setFont(verdana(8));

    auto* colonne = new IntestazioneGriglia(Qt::Horizontal, grdRecords);
    auto* righe = new IntestazioneGriglia(Qt::Vertical, grdRecords);
    grdRecords->setHorizontalHeader(colonne);
    grdRecords->setVerticalHeader(righe);
    grdRecords->setModel(m_modello);
    grdRecords->setItemDelegate(new DelegatoGriglia(grdRecords));

    QPalette colori = grdRecords->palette();
    colori.setColor(QPalette::Base, Qt::white);
    colori.setColor(QPalette::Window, Qt::white);
    colori.setColor(QPalette::Text, Qt::black);
    colori.setColor(QPalette::WindowText, Qt::black);
    colori.setColor(QPalette::Mid, IntestazioneGriglia::lineaGriglia()); // the grid lines
    grdRecords->setPalette(colori);
    for (QHeaderView* h : {static_cast<QHeaderView*>(colonne), static_cast<QHeaderView*>(righe)}) {
        h->setFont(verdana(8));
        h->setPalette(colori);
        h->setMinimumSectionSize(1);
    }

    grdRecords->setShowGrid(true);
    grdRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRecords->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grdRecords->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdRecords->setWordWrap(false);
    grdRecords->setCornerButtonEnabled(false);
    if (auto* angolo = grdRecords->findChild<QAbstractButton*>()) {
        QPalette p = angolo->palette();
        p.setColor(QPalette::Button, IntestazioneGriglia::celeste());
        p.setColor(QPalette::Window, IntestazioneGriglia::celeste());
        angolo->setPalette(p);
    }

    colonne->setSectionResizeMode(QHeaderView::Interactive);
    colonne->setDefaultSectionSize(GrigliaEsportazione::kLarghezzaIniziale);
    colonne->setFixedHeight(kAltezzaRiga);
    colonne->setStretchLastSection(false);
    righe->setSectionResizeMode(QHeaderView::Fixed);
    righe->setDefaultSectionSize(kAltezzaRiga);
    righe->setFixedWidth(GrigliaEsportazione::kLarghezzaIniziale);

    // Widths the user drags belong to the grid until the next fill puts the layout's back.
    connect(colonne, &QHeaderView::sectionResized, this, [this](int sezione, int, int nuova) {
        if (!m_applicaLarghezze)
            m_modello->griglia().impostaLarghezza(sezione + 1, nuova);
    });

    grdRecords->setMouseTracking(true);
    for (QWidget* w : {grdRecords->viewport(), colonne->viewport(), righe->viewport()}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    applicaLarghezze();
}

void TfrmExpContatti::applicaLarghezze()
{
    m_applicaLarghezze = true;
    const GrigliaEsportazione& g = m_modello->griglia();
    grdRecords->verticalHeader()->setFixedWidth(g.larghezza(0));
    for (int c = 1; c < g.colonne(); ++c)
        grdRecords->horizontalHeader()->resizeSection(c - 1, g.larghezza(c));
    m_applicaLarghezze = false;
}

void TfrmExpContatti::riempi(GrigliaEsportazione::Vista vista)
{
    const QModelIndex corrente = grdRecords->currentIndex();
    const int riga = corrente.isValid() ? corrente.row() : 0;
    const int colonna = corrente.isValid() ? corrente.column() : 0;
    m_modello->riempi(m_appDir, vista);
    // A fill that stops early sets no width, and one on an empty archive changes nothing: both leave the grid's.
    applicaLarghezze();
    if (m_modello->rowCount() > 0) {
        const QModelIndex nuovo = m_modello->index(std::min(riga, m_modello->rowCount() - 1), colonna);
        grdRecords->selectionModel()->setCurrentIndex(nuovo, QItemSelectionModel::ClearAndSelect);
    }
}

void TfrmExpContatti::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Coming back from the task bar is no new showing: the view chosen, and the widths dragged, stay.
    if (!event->spontaneous())
        riempi(GrigliaEsportazione::Vista::Tutti);
}

bool TfrmExpContatti::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        grdRecordsMouseMove();
    return QDialog::eventFilter(watched, event);
}

void TfrmExpContatti::grdRecordsMouseMove()
{
    // The cell holding the grid's focus, not the one under the pointer.
    const QModelIndex corrente = grdRecords->currentIndex();
    const QString testo = corrente.isValid() ? Trim(m_modello->griglia().testo(ModelloGriglia::colonnaGriglia(corrente),
                                                                               ModelloGriglia::rigaGriglia(corrente)))
                                             : QString();
    m_hints->reset();
    panInfo->setText(QLatin1Char(' ') + testo);
}

void TfrmExpContatti::imgAggiornaMouseUp()
{
    riempi(GrigliaEsportazione::Vista::Persone);
}

void TfrmExpContatti::imgPassateMouseUp()
{
    riempi(GrigliaEsportazione::Vista::Aziende);
}

void TfrmExpContatti::imgWordMouseUp()
{
    riempi(GrigliaEsportazione::Vista::Email);
}

void TfrmExpContatti::imgTutteMouseUp()
{
    riempi(GrigliaEsportazione::Vista::Tutti);
}

void TfrmExpContatti::imgExcelMouseUp()
{
    bool riuscita = true;
    {
        BusyCursor attesa;
        try {
            EsportazioneExcel::esporta(m_modello->griglia());
        } catch (const std::exception&) {
            // A refused request, and anything else that stops the export half way (memory for a huge table).
            riuscita = false;
        }
    }
    if (!riuscita)
        MessageService::current().showMessage(this, MessaggiEsportazione::erroreExcel());
}

namespace {

QString filtroVCard()
{
    return QStringLiteral("Biglietti da visita vCard (*.vcf)");
}

bool nomeVCard(const QString& percorso)
{
    return percorso.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive);
}

// The grid's rows 1 to N as vCards. Each column's caption in row 0 names its field, whatever the view's order.
EsitoScambio scriviVCardGriglia(const GrigliaEsportazione& griglia, QIODevice& out)
{
    EsitoScambio esito;
    const GrigliaEsportazione::Disposizione& tutti =
        GrigliaEsportazione::disposizione(GrigliaEsportazione::Vista::Tutti);
    std::array<int, GrigliaEsportazione::kColonne> campi;
    campi.fill(-1);
    for (int c = 1; c < griglia.colonne(); ++c) {
        const QString caption = griglia.testo(c, 0);
        for (const GrigliaEsportazione::Colonna& colonna : tutti) {
            if (caption == QString::fromUtf8(colonna.caption))
                campi[c] = colonna.campo;
        }
    }
    QByteArray blocco;
    for (int r = 1; r < griglia.righePiene(); ++r) {
        TestiScheda testi;
        for (int c = 1; c < griglia.colonne(); ++c) {
            if (campi[c] >= 0)
                testi[campi[c]] = griglia.testo(c, r);
        }
        scriviVCard(testi, blocco);
        ++esito.schede;
        if (blocco.size() >= (1 << 20) || r + 1 == griglia.righePiene()) {
            if (out.write(blocco) != blocco.size()) {
                esito.tipo = EsitoScambio::ErroreScrittura;
                esito.dettaglio = out.errorString();
                return esito;
            }
            blocco.clear();
        }
    }
    return esito;
}

} // namespace

void TfrmExpContatti::imgCSVMouseUp()
{
    // No extension is added and nothing is asked about an existing file: its content is replaced. The second
    // filter writes the rows on show as vCards instead.
    QString filtro;
    QString percorso = FileDialogService::current().saveFileName(
        this, {.caption = MessaggiEsportazione::titoloSalvaCsv(),
               .filter = MessaggiEsportazione::filtroCsv() + QStringLiteral(";;") + filtroVCard(),
               .confirmOverwrite = false,
               .selectedFilter = &filtro});
    if (percorso.isEmpty())
        return;
    const bool vcard = filtro == filtroVCard() || nomeVCard(percorso);
    if (!vcard)
        percorso = EsportazioneCsv::conEstensione(percorso);
    else if (!nomeVCard(percorso))
        percorso += QStringLiteral(".vcf");
    QString errore;
    bool scritto = false;
    {
        BusyCursor attesa;
        if (vcard) {
            const EsitoScambio esito = salvaFile(
                m_appDir, percorso, [&](QIODevice& out) { return scriviVCardGriglia(m_modello->griglia(), out); });
            scritto = esito.riuscito();
            // The archive itself is refused before anything is written; its own message says why.
            errore = esito.tipo == EsitoScambio::FileArchivio ? messaggioScambio(esito, percorso) : esito.dettaglio;
        } else {
            scritto = EsportazioneCsv::salva(m_modello->griglia(), percorso, &errore);
        }
    }
    if (!scritto) {
        MessageService::current().reportError(
            this, MessaggiEsportazione::erroreScrittura(QDir::toNativeSeparators(percorso), errore));
        return;
    }
    MessageService::current().showMessage(this, MessaggiEsportazione::csvCompletata());
}

void TfrmExpContatti::imgGuidaMouseUp()
{
    Q_EMIT guidaRichiesta(HelpTopicId::Export);
}

void TfrmExpContatti::imgEsciMouseUp()
{
    close();
}
