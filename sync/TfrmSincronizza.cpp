#include "sync/TfrmSincronizza.h"

#include "archive/CampiScheda.h"
#include "ui/HoverHints.h"
#include "ui/MessageService.h"
#include "ui/ValueLabel.h"
#include "ui/WindowFrame.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>

namespace {

const QColor kNero(0, 0, 0);
const QColor kBianco(255, 255, 255);
const QString kTitolo = QStringLiteral(" Sincronizzazione rubrica");

QMutex g_clientMutex;

QLabel* etichetta(QWidget* finestra, const QString& testo, int y)
{
    auto* label = new QLabel(testo, finestra);
    label->setFont(verdana(8, true));
    setTextColour(label, kNero);
    label->setGeometry(16, y, 130, 22);
    return label;
}

template <typename W> W* controllo(W* w, const char* nome, const QString& accessibile, const QRect& geometria)
{
    w->setObjectName(QLatin1StringView(nome));
    w->setAccessibleName(accessibile);
    w->setFont(verdana(8));
    w->setGeometry(geometria);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, kBianco);
    palette.setColor(QPalette::Text, kNero);
    palette.setColor(QPalette::ButtonText, kNero);
    palette.setColor(QPalette::WindowText, kNero);
    w->setPalette(palette);
    return w;
}

QPushButton* pulsante(QWidget* finestra, const char* nome, const QString& testo, const QRect& geometria)
{
    auto* button = controllo(new QPushButton(testo, finestra), nome, testo, geometria);
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    return button;
}

QString nomeScheda(const TestiScheda& t)
{
    const QString nome = QStringList{t[Cognome], t[Nome]}.join(u' ').trimmed();
    return nome.isEmpty() ? t[Azienda] : nome;
}

} // namespace

TfrmSincronizza::TfrmSincronizza(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmSincronizza"));
    applyFrame(this, {.caption = kTitolo,
                      .clientSize = QSize(480, 300),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::Dialog});
    setTextColour(this, kNero);

    etichetta(this, QStringLiteral("Indirizzo del server:"), 16);
    txtServer = controllo(new QLineEdit(this), "txtServer", QStringLiteral("Indirizzo del server"), {150, 16, 310, 22});
    txtServer->setPlaceholderText(QStringLiteral("https://"));
    etichetta(this, QStringLiteral("Utente:"), 48);
    txtUtente = controllo(new QLineEdit(this), "txtUtente", QStringLiteral("Utente"), {150, 48, 310, 22});
    etichetta(this, QStringLiteral("Password:"), 80);
    txtPassword = controllo(new QLineEdit(this), "txtPassword", QStringLiteral("Password"), {150, 80, 310, 22});
    txtPassword->setEchoMode(QLineEdit::Password);
    etichetta(this, QStringLiteral("Rubrica:"), 112);
    cmbRubrica = controllo(new QComboBox(this), "cmbRubrica", QStringLiteral("Rubrica"), {150, 112, 200, 22});
    cmdCerca = pulsante(this, "cmdCerca", QStringLiteral("Cerca rubriche"), {360, 112, 100, 24});

    prgAvanzamento =
        controllo(new QProgressBar(this), "prgAvanzamento", QStringLiteral("Avanzamento"), {16, 156, 444, 20});
    prgAvanzamento->setRange(0, 1);
    prgAvanzamento->setValue(0);
    lblAvanzamento = controllo(new QLabel(this), "lblAvanzamento", QString(), {16, 182, 444, 20});
    showsValue(lblAvanzamento, QStringLiteral("Che cosa sta facendo la sincronizzazione"));
    lblRiepilogo = controllo(new QLabel(this), "lblRiepilogo", QString(), {16, 208, 444, 36});
    lblRiepilogo->setFont(verdana(8, true));
    lblRiepilogo->setWordWrap(true);
    showsValue(lblRiepilogo, QStringLiteral("Esito della sincronizzazione"));

    cmdSincronizza = pulsante(this, "cmdSincronizza", QStringLiteral("Sincronizza"), {150, 260, 100, 28});
    cmdAnnulla = pulsante(this, "cmdAnnulla", QStringLiteral("Annulla"), {255, 260, 100, 28});
    cmdChiudi = pulsante(this, "cmdChiudi", QStringLiteral("Chiudi"), {360, 260, 100, 28});
    cmdAnnulla->setEnabled(false);

    connect(cmdCerca, &QPushButton::clicked, this, &TfrmSincronizza::cmdCercaClick);
    connect(cmdSincronizza, &QPushButton::clicked, this, &TfrmSincronizza::cmdSincronizzaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmSincronizza::cmdAnnullaClick);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::close);
    // Another address or user is another account: its address books are looked for again.
    for (QLineEdit* campo : {txtServer, txtUtente})
        connect(campo, &QLineEdit::textEdited, this, [this] {
            m_rubriche.clear();
            cmbRubrica->clear();
        });
}

TfrmSincronizza::~TfrmSincronizza()
{
    cmdAnnullaClick();
    if (m_lavoro)
        m_lavoro->wait();
}

void TfrmSincronizza::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmSincronizza::FormShow()
{
    if (inCorso())
        return;
    m_rubriche.clear();
    cmbRubrica->clear();
    QString errore;
    if (const std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, &errore)) {
        txtServer->setText(stato->server);
        txtUtente->setText(stato->utente);
        cmbRubrica->addItem(stato->nomeRubrica);
    }
    txtPassword->setText(m_password);
    prgAvanzamento->setValue(0);
    lblAvanzamento->setText(errore.isEmpty() ? QString() : QStringLiteral("Attenzione: %1.").arg(errore));
    lblRiepilogo->setText(QString());
    txtServer->setFocus(Qt::OtherFocusReason);
}

void TfrmSincronizza::closeEvent(QCloseEvent* event)
{
    // A running synchronisation is stopped first; the window closes once it has.
    if (inCorso()) {
        cmdAnnullaClick();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmSincronizza::reject()
{
    if (inCorso())
        cmdAnnullaClick();
    else
        QDialog::reject();
}

namespace {

QUrl indirizzoDa(const QString& testo)
{
    if (testo.isEmpty())
        return {};
    return QUrl::fromUserInput(testo.contains(QLatin1String("://")) ? testo : QStringLiteral("https://") + testo);
}

} // namespace

QUrl TfrmSincronizza::indirizzo() const
{
    return indirizzoDa(txtServer->text().trimmed());
}

bool TfrmSincronizza::httpConsentito(const QUrl& url)
{
    if (!ClientCardDav::richiedeConferma(url))
        return true;
    const std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, nullptr);
    if (stato && stato->httpPermessoPer == hostPorta(url))
        return true;
    return MessageService::current().askYesNo(
        this, QStringLiteral("Connessione non protetta"),
        QStringLiteral("Il server %1 usa una connessione non protetta (http): il nome utente, la password e i "
                       "contatti passerebbero in chiaro sulla rete. Continuare?")
            .arg(hostPorta(url)));
}

bool TfrmSincronizza::indirizzoSenzaPassword(const QUrl& url)
{
    if (url.password().isEmpty()) {
        if (!url.userName().isEmpty() && txtUtente->text().trimmed().isEmpty())
            txtUtente->setText(url.userName());
        return true;
    }
    MessageService::current().showMessage(
        this, QStringLiteral("L'indirizzo contiene una password: toglierla dall'indirizzo e scriverla nella casella "
                             "Password."));
    return false;
}

// Asked on the window's thread, after the attempt that met the certificate failed; true: try again with it.
bool TfrmSincronizza::accettaCertificato(const QByteArray& impronta)
{
    if (impronta.isEmpty() || impronta == m_certificato)
        return false;
    const bool cambiato = !m_certificato.isEmpty() && m_certificato != impronta;
    const bool si = MessageService::current().askYesNo(
        this, QStringLiteral("Certificato non riconosciuto"),
        QStringLiteral("%1\n\nImpronta SHA-256:\n%2\n\nAccettarlo solo se è la stessa che mostra il proprio server. "
                       "Accettare questo certificato?")
            .arg(cambiato ? QStringLiteral("Il certificato del server è cambiato da quello accettato prima.")
                          : QStringLiteral("Il server presenta un certificato che questo computer non riconosce."),
                 QString::fromLatin1(impronta)));
    if (si)
        m_certificato = impronta;
    return si;
}

void TfrmSincronizza::cmdCercaClick()
{
    cercaRubriche(false);
}

void TfrmSincronizza::cercaRubriche(bool sincronizzaDopo)
{
    if (!indirizzo().isValid()) {
        MessageService::current().showMessage(this, QStringLiteral("Indicare l'indirizzo del server."));
        return;
    }
    if (!indirizzoSenzaPassword(indirizzo()))
        return;
    const QUrl url = senzaCredenziali(indirizzo());
    const QString http = ClientCardDav::richiedeConferma(url) ? hostPorta(url) : QString();
    if (!httpConsentito(url))
        return;
    m_password = txtPassword->text();
    mostraInCorso(true);
    lblAvanzamento->setText(QStringLiteral("Ricerca delle rubriche sul server"));
    const QString utente = txtUtente->text().trimmed();
    const QString password = m_password;
    if (m_certificato.isEmpty()) {
        if (const std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, nullptr);
            stato && stessaOrigine(stato->rubrica, url))
            m_certificato = stato->certificato;
    }
    const QByteArray certificato = m_certificato;
    m_lavoro = QThread::create([this, url, utente, password, http, certificato, sincronizzaDopo] {
        ClientCardDav client(utente, password);
        client.permettiHttpPer(http);
        client.accettaCertificato(certificato);
        {
            QMutexLocker lock(&g_clientMutex);
            m_client = &client;
        }
        QString errore;
        const QList<Rubrica> rubriche = client.scopri(url, &errore);
        {
            QMutexLocker lock(&g_clientMutex);
            m_client = nullptr;
        }
        QMetaObject::invokeMethod(
            this, [this, rubriche, errore, utente, sincronizzaDopo, rifiutato = client.certificatoRifiutato()] {
                mostraInCorso(false);
                // The box comes now, on the window's thread, and the search starts again once it is answered.
                if (rubriche.isEmpty() && accettaCertificato(rifiutato)) {
                    cercaRubriche(sincronizzaDopo);
                    return;
                }
                m_rubriche = rubriche;
                cmbRubrica->clear();
                for (const Rubrica& r : rubriche)
                    cmbRubrica->addItem(r.nome);
                if (rubriche.isEmpty()) {
                    lblRiepilogo->setText(errore);
                    MessageService::current().showMessage(this, errore);
                    return;
                }
                if (rubriche.size() > 1) {
                    lblRiepilogo->setText(QStringLiteral("Il server ha %1 rubriche: scegliere quella da sincronizzare.")
                                              .arg(rubriche.size()));
                    return;
                }
                lblRiepilogo->setText(QString());
                if (sincronizzaDopo)
                    avvia(statoPer(rubriche[0], utente));
            });
    });
    avviaLavoro();
}

void TfrmSincronizza::cmdSincronizzaClick()
{
    const QUrl url = indirizzo();
    if (!url.isValid()) {
        MessageService::current().showMessage(this, QStringLiteral("Indicare l'indirizzo del server."));
        return;
    }
    if (!indirizzoSenzaPassword(url))
        return;
    const QString utente = txtUtente->text().trimmed();
    QString danno;
    std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, &danno);
    if (!danno.isEmpty()) {
        if (!MessageService::current().askYesNo(
                this, QStringLiteral("Contatti.sync danneggiato"),
                QStringLiteral(
                    "Attenzione: %1, e non dice più quali contatti sono già sincronizzati.\n\nRicominciare "
                    "da capo? Il file viene messo da parte come Contatti.sync.danneggiato; i contatti uguali "
                    "sui due lati vengono riconosciuti, quelli con lo stesso nome e contenuti diversi "
                    "vengono mostrati per decidere.")
                    .arg(danno)))
            return;
        if (!StatoSync::accantona(m_appDir)) {
            MessageService::current().showMessage(
                this, QStringLiteral("Impossibile spostare Contatti.sync: la cartella non si può modificare."));
            return;
        }
        lblAvanzamento->setText(QString());
    }
    // The stored address is the typed one without user name or password (an older state has it as typed).
    const bool stessoConto = stato && senzaCredenziali(indirizzoDa(stato->server)) == senzaCredenziali(indirizzo()) &&
                             stato->utente == utente;
    const int scelta = cmbRubrica->currentIndex();
    if (!m_rubriche.isEmpty() && scelta >= 0 && scelta < m_rubriche.size()) {
        const Rubrica& r = m_rubriche[scelta];
        if (!httpConsentito(r.url))
            return;
        m_password = txtPassword->text();
        avvia(statoPer(r, utente));
        return;
    }
    if (stessoConto) {
        if (!httpConsentito(stato->rubrica))
            return;
        m_password = txtPassword->text();
        stato->httpPermessoPer =
            ClientCardDav::richiedeConferma(stato->rubrica) ? hostPorta(stato->rubrica) : QString();
        avvia(*stato);
        return;
    }
    cercaRubriche(true);
}

StatoSync TfrmSincronizza::statoPer(const Rubrica& rubrica, const QString& utente) const
{
    const QString server = senzaCredenziali(indirizzo()).toString();
    const QString http = ClientCardDav::richiedeConferma(rubrica.url) ? hostPorta(rubrica.url) : QString();
    // The same address book as last time keeps its state, however its address or the user was written; another
    // one starts afresh, matched by content.
    std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, nullptr);
    if (stato && stessaRubrica(stato->rubrica, rubrica.url)) {
        stato->server = server;
        stato->utente = utente;
        stato->httpPermessoPer = http;
        if (!m_certificato.isEmpty())
            stato->certificato = m_certificato;
        return *stato;
    }
    return StatoSync{server, rubrica.url, rubrica.nome, rubrica.syncCollection, utente, http, {}, {}, m_certificato};
}

void TfrmSincronizza::avvia(StatoSync stato)
{
    mostraInCorso(true);
    lblRiepilogo->setText(QString());
    const QString password = m_password;
    if (m_certificato.isEmpty())
        m_certificato = stato.certificato; // so that a changed certificate is asked about as such
    if (!m_certificato.isEmpty() && stato.rubrica.scheme() == u"https")
        stato.certificato = m_certificato;
    m_lavoro = QThread::create([this, stato, password] {
        ClientCardDav client(stato.utente, password);
        client.permettiHttpPer(stato.httpPermessoPer);
        client.accettaCertificato(stato.certificato);
        {
            QMutexLocker lock(&g_clientMutex);
            m_client = &client;
        }
        Sincronizzazione sincronizzazione(m_appDir, client, stato);
        Sincronizzazione::Domande domande;
        domande.avanzamento = [this](int fatti, int totale, const QString& passo) {
            QMetaObject::invokeMethod(this, [this, fatti, totale, passo] {
                prgAvanzamento->setRange(0, qMax(totale, 1));
                prgAvanzamento->setValue(fatti);
                lblAvanzamento->setText(totale > 0 ? QStringLiteral("%1 di %2: %3").arg(fatti).arg(totale).arg(passo)
                                                   : passo);
            });
        };
        domande.conflitto = [this](const Conflitto& conflitto) {
            SceltaConflitto scelta = SceltaConflitto::Lascia;
            QMetaObject::invokeMethod(
                this, [&] { scelta = chiedi(conflitto); }, Qt::BlockingQueuedConnection);
            return scelta;
        };
        domande.conferma = [this](const QString& domanda) {
            bool si = false;
            QMetaObject::invokeMethod(
                this,
                [&] {
                    si = MessageService::current().askYesNo(this, QStringLiteral("Conferma eliminazione"), domanda);
                },
                Qt::BlockingQueuedConnection);
            return si;
        };
        // Another synchronisation of this folder (the command line, another copy on another computer): the window
        // waits for it to end, as long as the person does not cancel.
        domande.attendi = [this, &client] {
            QMetaObject::invokeMethod(this, [this] {
                lblAvanzamento->setText(QStringLiteral("Un'altra sincronizzazione di questa cartella è in corso: "
                                                       "attesa che finisca..."));
            });
            QThread::msleep(250);
            return !client.annullato();
        };
        const RiepilogoSync riepilogo = sincronizzazione.esegui(domande);
        {
            QMutexLocker lock(&g_clientMutex);
            m_client = nullptr;
        }
        QMetaObject::invokeMethod(this, [this, riepilogo, stato, rifiutato = client.certificatoRifiutato()] {
            finita(riepilogo, stato, rifiutato);
        });
    });
    avviaLavoro();
}

void TfrmSincronizza::avviaLavoro()
{
    QThread* lavoro = m_lavoro;
    connect(lavoro, &QThread::finished, lavoro, &QObject::deleteLater);
    // The search for address books may already have started the synchronisation that follows it.
    connect(lavoro, &QThread::finished, this, [this, lavoro] {
        if (m_lavoro == lavoro)
            m_lavoro = nullptr;
    });
    lavoro->start();
}

void TfrmSincronizza::cmdAnnullaClick()
{
    QMutexLocker lock(&g_clientMutex);
    if (ClientCardDav* client = m_client.load())
        client->annulla();
}

void TfrmSincronizza::mostraInCorso(bool si)
{
    for (QWidget* w : std::initializer_list<QWidget*>{txtServer, txtUtente, txtPassword, cmbRubrica, cmdCerca,
                                                      cmdSincronizza, cmdChiudi})
        w->setEnabled(!si);
    cmdAnnulla->setEnabled(si);
    if (si) {
        prgAvanzamento->setRange(0, 0); // busy until the first step is known
        lblAvanzamento->setText(QStringLiteral("Collegamento al server"));
    }
}

void TfrmSincronizza::finita(const RiepilogoSync& riepilogo, const StatoSync& stato, const QByteArray& rifiutato)
{
    mostraInCorso(false);
    if (!riepilogo.riuscita() && accettaCertificato(rifiutato)) {
        StatoSync ancora = stato;
        ancora.certificato = m_certificato;
        avvia(ancora);
        return;
    }
    prgAvanzamento->setRange(0, 1);
    prgAvanzamento->setValue(riepilogo.riuscita() ? 1 : 0);
    lblAvanzamento->setText(riepilogo.riuscita() ? QStringLiteral("Sincronizzazione completata.") : riepilogo.errore);
    lblRiepilogo->setText(riepilogo.testo());
    if (const std::optional<StatoSync> stato = StatoSync::leggi(m_appDir, nullptr); stato && m_rubriche.isEmpty()) {
        cmbRubrica->clear();
        cmbRubrica->addItem(stato->nomeRubrica);
    }
    Q_EMIT sincronizzazioneFinita();
    if (!riepilogo.riuscita())
        MessageService::current().showMessage(this, riepilogo.errore);
}

SceltaConflitto TfrmSincronizza::chiedi(const Conflitto& conflitto)
{
    QString testo = QStringLiteral("La scheda \"%1\" è stata modificata sia in questo archivio sia sul server.\n")
                        .arg(nomeScheda(conflitto.qui));
    for (int c = 0; c < kNumeroCampi; ++c) {
        if (conflitto.qui[c] == conflitto.server[c])
            continue;
        testo += QStringLiteral("\n%1 qui \"%2\", sul server \"%3\"")
                     .arg(QString::fromUtf8(kCampiScheda[c].caption), conflitto.qui[c], conflitto.server[c]);
    }
    const int scelta =
        MessageService::current().choose(this, QStringLiteral("Conflitto"), testo,
                                         {QStringLiteral("Tieni questa"), QStringLiteral("Tieni quella del server"),
                                          QStringLiteral("Tienile entrambe"), QStringLiteral("Decidi dopo")});
    static constexpr SceltaConflitto kScelte[] = {SceltaConflitto::Qui, SceltaConflitto::Server,
                                                  SceltaConflitto::Entrambe, SceltaConflitto::Lascia};
    return scelta >= 0 && scelta < 4 ? kScelte[scelta] : SceltaConflitto::Lascia;
}
