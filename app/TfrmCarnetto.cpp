#include "app/TfrmCarnetto.h"

#include "app/Maker.h"
#include "ui/ActiveLabel.h"
#include "ui/HoverHints.h"
#include "ui/Pictures.h"
#include "ui/ScreenReader.h"
#include "ui/ShellService.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QShowEvent>

TfrmCarnetto::TfrmCarnetto(const QString&, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmCarnetto"));
    applyFrame(this, {.caption = QStringLiteral(" Carnetto 4.0"),
                      .clientSize = QSize(783, 505),
                      .background = WindowFrame::silver(),
                      .minimiseButton = true});

    // For a screen reader the menu is its choices, each once: the title band and the slogan only decorate, and a
    // caption picture, or the animated strip, does what the control beside it does.
    QFrame* panTitolo = panel(QStringLiteral("panTitolo"), {12, 12, 757, 133}, QFrame::Box, QFrame::Plain);
    hideFromScreenReaders(panTitolo);
    decorationPicture(panTitolo, QStringLiteral("imgPersona"), QStringLiteral("persona"))->move(12, 10);
    decorationPicture(panTitolo, QStringLiteral("imgTitolo"), QStringLiteral("titolo"))->move(128, 2);
    decorationPicture(panTitolo, QStringLiteral("imgSottotitolo"), QStringLiteral("sottotitolo"))->move(171, 96);
    decorationPicture(panTitolo, QStringLiteral("imgPendrive"), QStringLiteral("pendrive"))->move(636, 10);

    QFrame* panInfo = panel(QStringLiteral("panInfo"), {12, 156, 757, 65}, QFrame::Panel, QFrame::Raised);
    QLabel* imgSlogan = decorationPicture(panInfo, QStringLiteral("imgSlogan"), QStringLiteral("slogan"));
    imgSlogan->setGeometry(72, 8, 607, 43);
    hideFromScreenReaders(imgSlogan);
    imgInfo = button(panInfo, QStringLiteral("imgInfo"), QStringLiteral("icon_info"), QStringLiteral("Informazioni"),
                     {8, 17});
    imgInfo->setToolTip(QStringLiteral(" Informazioni su... "));
    imgGuida =
        button(panInfo, QStringLiteral("imgGuida"), QStringLiteral("icon_guida"), QStringLiteral("Guida"), {720, 17});
    imgGuida->setToolTip(QStringLiteral(" Guida "));

    QFrame* panOggetti = panel(QStringLiteral("panOggetti"), {12, 232, 757, 209}, QFrame::Panel, QFrame::Raised);
    panOggetti->setLineWidth(2);
    imgContatti = button(panOggetti, QStringLiteral("imgContatti"), QStringLiteral("contatti"),
                         QStringLiteral("Contatti"), {34, 42});
    titContatti = button(panOggetti, QStringLiteral("titContatti"), QStringLiteral("tit_contatti"),
                         QStringLiteral("Contatti"), {20, 148});
    imgBackup =
        button(panOggetti, QStringLiteral("imgBackup"), QStringLiteral("backup"), QStringLiteral("Backup"), {268, 20});
    titBackup = button(panOggetti, QStringLiteral("titBackup"), QStringLiteral("tit_backup"), QStringLiteral("Backup"),
                       {304, 152});
    imgEsporta = button(panOggetti, QStringLiteral("imgEsporta"), QStringLiteral("esporta"), QStringLiteral("Esporta"),
                        {596, 32});
    titEsporta = button(panOggetti, QStringLiteral("titEsporta"), QStringLiteral("tit_esporta"),
                        QStringLiteral("Esporta"), {568, 148});

    imgCopyright = button(this, QStringLiteral("imgCopyright"), QStringLiteral("icon_copyright"),
                          QStringLiteral("Copyright"), {12, 460});
    imgCopyright->setToolTip(QStringLiteral(" Copyright "));
    imgSincronizza = button(this, QStringLiteral("imgSincronizza"), QStringLiteral("icon_sincronizza"),
                            QStringLiteral("Sincronizza"), {52, 460});
    imgSincronizza->setToolTip(QStringLiteral(" Sincronizza con una rubrica in rete "));
    imgEsci = button(this, QStringLiteral("imgEsci"), QStringLiteral("icon_esci"), QStringLiteral("Esci"), {744, 460});
    imgEsci->setToolTip(QStringLiteral(" Esci "));

    lblRights = new ActiveLabel(this);
    lblRights->setObjectName(QStringLiteral("lblRights"));
    lblRights->setText(makerCreditLine());
    lblRights->setAccessibleName(makerCreditLine());
    lblRights->setFont(verdana(10));
    lblRights->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblRights->setGeometry(225, 456, 339, 16);
    setTextColour(lblRights, Qt::white);
    lblRights->setToolTip(QStringLiteral(" Visita il sito Internet dell'autore "));
    lblRights->setAccessibleDescription(QStringLiteral("Visita il sito Internet dell'autore"));

    imgAnimata = button(this, QStringLiteral("imgAnimata"), QStringLiteral("animata_still"),
                        QStringLiteral("Visita il sito Internet dell'autore"), {168, 480});
    imgAnimata->resize(451, 10);
    // Every frame covers the strip whole: nothing under it needs painting first, twenty times a second.
    imgAnimata->setAttribute(Qt::WA_OpaquePaintEvent);
    imgAnimata->setToolTip(QStringLiteral(" Visita il sito Internet dell'autore "));
    imgAnimata->installEventFilter(this);
    for (QWidget* twin : {static_cast<QWidget*>(titContatti), static_cast<QWidget*>(titBackup),
                          static_cast<QWidget*>(titEsporta), static_cast<QWidget*>(imgAnimata)})
        hideFromScreenReaders(twin);

    for (ActiveLabel* control : {imgContatti, titContatti})
        onRelease(control, &TfrmCarnetto::imgContattiMouseUp);
    for (ActiveLabel* control : {imgBackup, titBackup})
        onRelease(control, &TfrmCarnetto::imgBackupMouseUp);
    for (ActiveLabel* control : {imgEsporta, titEsporta})
        onRelease(control, &TfrmCarnetto::imgEsportaMouseUp);
    onRelease(imgInfo, &TfrmCarnetto::imgInfoMouseUp);
    onRelease(imgGuida, &TfrmCarnetto::imgGuidaMouseUp);
    onRelease(imgCopyright, &TfrmCarnetto::imgCopyrightMouseUp);
    onRelease(imgEsci, &TfrmCarnetto::imgEsciMouseUp);
    onRelease(imgSincronizza, &TfrmCarnetto::imgSincronizzaMouseUp);
    // The strip and the credit line act on the press, unlike every other control.
    for (ActiveLabel* control : {imgAnimata, lblRights})
        connect(control, &ActiveLabel::mousePressed, this, &TfrmCarnetto::imgAnimataMouseDown);
}

QFrame* TfrmCarnetto::panel(const QString& name, const QRect& geometry, QFrame::Shape shape, QFrame::Shadow shadow)
{
    auto* frame = new QFrame(this);
    frame->setObjectName(name);
    frame->setFrameStyle(shape | shadow);
    frame->setGeometry(geometry);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, Qt::white);
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    return frame;
}

ActiveLabel* TfrmCarnetto::button(QWidget* parent, const QString& name, const QString& picture,
                                  const QString& accessibleName, const QPoint& at)
{
    ActiveLabel* label = ActiveLabel::picture(parent, name, picture, accessibleName);
    label->move(at);
    return label;
}

void TfrmCarnetto::onRelease(ActiveLabel* control, void (TfrmCarnetto::*handler)())
{
    connect(control, &ActiveLabel::mouseReleased, this, handler);
}

void TfrmCarnetto::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        LoadAnimatedStrip();
}

void TfrmCarnetto::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    // Closing the main window ends the program, as the Esci icon does.
    QCoreApplication::quit();
}

void TfrmCarnetto::LoadAnimatedStrip()
{
    auto* movie = new QMovie(QStringLiteral(":/RESNAME"), QByteArray(), this);
    movie->setCacheMode(QMovie::CacheAll);
    imgAnimata->clear();
    // The strip paints its frames itself (eventFilter): a label showing a movie goes through the style for
    // a frame and margins the strip does not have, twenty times a second.
    connect(movie, &QMovie::frameChanged, imgAnimata, qOverload<>(&QWidget::update));
    delete m_strip;
    m_strip = movie;
    m_strip->start();
}

bool TfrmCarnetto::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == imgAnimata && event->type() == QEvent::Paint && m_strip) {
        QPainter painter(imgAnimata);
        painter.drawPixmap(0, 0, m_strip->currentPixmap());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmCarnetto::imgContattiMouseUp()
{
    Q_EMIT contattiRichiesti();
    hide();
}

void TfrmCarnetto::imgBackupMouseUp()
{
    Q_EMIT backupRichiesto();
}

void TfrmCarnetto::imgEsportaMouseUp()
{
    Q_EMIT esportaRichiesta();
}

void TfrmCarnetto::imgInfoMouseUp()
{
    Q_EMIT informazioniRichieste();
}

void TfrmCarnetto::imgGuidaMouseUp()
{
    Q_EMIT guidaRichiesta(HelpTopicId::Main);
}

void TfrmCarnetto::imgCopyrightMouseUp()
{
    Q_EMIT creditiRichiesti();
}

void TfrmCarnetto::imgSincronizzaMouseUp()
{
    Q_EMIT sincronizzaRichiesta();
}

void TfrmCarnetto::imgEsciMouseUp()
{
    QCoreApplication::quit();
}

void TfrmCarnetto::imgAnimataMouseDown()
{
    ShellService::current().open(this, makerWebSite());
}
