#include "app/TfrmInfo.h"

#include "app/Maker.h"
#include "ui/ActiveLabel.h"
#include "ui/HelpContext.h"
#include "ui/Pictures.h"
#include "ui/ShellService.h"
#include "ui/WindowFrame.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

// A rectangle outline that only decorates: the pointer passes through it to what lies beneath.
class ShapeOutline final : public QWidget
{
public:
    ShapeOutline(QWidget* parent, const QString& objectName, const QRect& geometry) : QWidget(parent)
    {
        setObjectName(objectName);
        setGeometry(geometry);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

QLabel* decoration(QWidget* parent, const QString& objectName, const QString& picture, const QRect& geometry,
                   const QString& accessibleName)
{
    QLabel* label = decorationPicture(parent, objectName, picture);
    label->setGeometry(geometry);
    label->setAccessibleName(accessibleName);
    return label;
}

} // namespace

QColor TfrmInfo::linkColour()
{
    return QColor(0, 0, 128);
}

QColor TfrmInfo::hoverColour()
{
    return QColor(255, 0, 0);
}

TfrmInfo::TfrmInfo(const QString&, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfo"));
    applyFrame(this, {.caption = QStringLiteral(" Informazioni su Carnetto 4.0"),
                      .clientSize = QSize(472, 479),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kInformazioni});
    setMouseTracking(true);

    grpInfo = new QGroupBox(this);
    grpInfo->setObjectName(QStringLiteral("grpInfo"));
    grpInfo->setAccessibleName(QStringLiteral("Informazioni su Carnetto 4.0"));
    grpInfo->setGeometry(12, 4, 445, 425);
    grpInfo->setMouseTracking(true);
    grpInfo->installEventFilter(this);

    // The information area: the artwork fills the white frame, the portrait and the logo sit on its left.
    QLabel* artwork = decoration(grpInfo, QStringLiteral("imgInformazioni"), QStringLiteral("info_sfondo"),
                                 QRect(13, 17, 419, 359), QStringLiteral("Carnetto 4.0"));
    artwork->setAccessibleDescription(
        QStringLiteral("La rubrica da portare a spasso! Rubrica dei contatti portatile: copiala su una chiavetta "
                       "USB insieme al suo archivio e usala su qualsiasi computer, senza installazione. Versione "
                       "4.0 - Studio Carnetto."));
    shpFoto = new ShapeOutline(grpInfo, QStringLiteral("shpFoto"), QRect(12, 16, 421, 361));
    shpLogo = new ShapeOutline(grpInfo, QStringLiteral("shpLogo"), QRect(16, 96, 53, 281));
    imgLogo = decoration(grpInfo, QStringLiteral("imgLogo"), QStringLiteral("info_logo"), QRect(28, 132, 20, 227),
                         QStringLiteral("Logo di Carnetto 4.0"));
    imgAutore = decoration(grpInfo, QStringLiteral("imgAutore"), QStringLiteral("info_autore"), QRect(16, 20, 103, 93),
                           QStringLiteral("Ritratto dell'autore"));

    imgEmail = ActiveLabel::picture(this, QStringLiteral("imgEmail"), QStringLiteral("icon_email16"),
                                    QStringLiteral("Invia e-mail"));
    imgEmail->setGeometry(12, 436, 16, 16);
    lblEmail = ActiveLabel::caption(this, QStringLiteral("lblEmail"), QStringLiteral("Invia e-mail"));
    lblEmail->move(36, 436);
    imgWeb = ActiveLabel::picture(this, QStringLiteral("imgWeb"), QStringLiteral("icon_web12"),
                                  QStringLiteral("Visita sito Internet"));
    imgWeb->setGeometry(12, 460, 12, 12);
    lblWeb = ActiveLabel::caption(this, QStringLiteral("lblWeb"), QStringLiteral("Visita sito Internet"));
    lblWeb->move(36, 456);
    for (ActiveLabel* label : {lblEmail, lblWeb}) {
        label->setAutoFillBackground(false);
        setTextColour(label, linkColour());
    }

    for (ActiveLabel* email : {imgEmail, lblEmail}) {
        connect(email, &ActiveLabel::mouseReleased, this, &TfrmInfo::imgEmailMouseUp);
        connect(email, &ActiveLabel::mouseMoved, this, &TfrmInfo::imgEmailMouseMove);
    }
    for (ActiveLabel* web : {imgWeb, lblWeb}) {
        connect(web, &ActiveLabel::mouseReleased, this, &TfrmInfo::imgWebMouseUp);
        connect(web, &ActiveLabel::mouseMoved, this, &TfrmInfo::imgWebMouseMove);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setGeometry(372, 436, 85, 33);
    cmdOK->setFont(verdana(8));
    cmdOK->setCursor(Qt::PointingHandCursor);
    setTextColour(cmdOK, Qt::black);
    // Black on a light face whatever the desktop's theme.
    QPalette face = cmdOK->palette();
    face.setColor(QPalette::Button, WindowFrame::silver());
    cmdOK->setPalette(face);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmInfo::cmdOKClick);
    cmdOK->setFocus();
}

void TfrmInfo::imgEmailMouseUp()
{
    // The address part goes to the shell service, which drops the blank after "mailto:" and encodes it.
    ShellService::current().open(this, QStringLiteral("mailto: ") + makerEmail());
}

void TfrmInfo::imgWebMouseUp()
{
    ShellService::current().open(this, makerWebSite());
}

void TfrmInfo::imgEmailMouseMove()
{
    setTextColour(lblEmail, hoverColour());
    setTextColour(lblWeb, linkColour());
}

void TfrmInfo::imgWebMouseMove()
{
    setTextColour(lblWeb, hoverColour());
    setTextColour(lblEmail, linkColour());
}

void TfrmInfo::FormMouseMove()
{
    for (ActiveLabel* label : {lblEmail, lblWeb}) {
        if (textColour(label) != linkColour())
            setTextColour(label, linkColour());
    }
}

void TfrmInfo::cmdOKClick()
{
    close();
}

void TfrmInfo::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

bool TfrmInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grpInfo && event->type() == QEvent::MouseMove)
        FormMouseMove(); // grpInfoMouseMove does what the window's own movement handler does
    return QDialog::eventFilter(watched, event);
}
