#include "app/TfrmSplash.h"

#include "app/BitmapFile.h"
#include "app/Forms.h"
#include "app/Maker.h"
#include "archive/Trim.h"
#include "ui/BusyCursor.h"
#include "ui/HelpContext.h"
#include "ui/MessageService.h"
#include "ui/ShellService.h"
#include "ui/WindowFrame.h"

#include <QMouseEvent>
#include <QPainter>

TfrmSplash::TfrmSplash(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmSplash"));
    applyFrame(this, {.caption = QStringLiteral(" Carnetto 4.0 - Software by Studio Carnetto"),
                      .clientSize = QSize(591, 356),
                      .background = WindowFrame::black(),
                      .border = WindowFrame::Border::Dialog,
                      .placement = WindowFrame::Placement::Fixed,
                      .position = QPoint(359, 140),
                      .helpContext = HelpContext::kCrediti});
    setCursor(Qt::PointingHandCursor);
    // What the background picture says, for those who cannot see it.
    setAccessibleDescription(QStringLiteral("Carnetto 4.0, software by Studio Carnetto. "
                                            "Fai clic per visitare il sito Internet dell'autore."));
    // The window paints every pixel itself from Buffer.
    setAttribute(Qt::WA_OpaquePaintEvent);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TfrmSplash::Timer1Timer);

    FormCreate();
    Timer1->start();
}

void TfrmSplash::FormCreate()
{
    const QImage backImage = readBitmap(QStringLiteral(":/images/credits_sfondo.jpg"));
    const QImage spriteImage = readBitmap(QStringLiteral(":/images/sprite_bandiera.bmp"));
    // The sprite is shown by a control sized to its picture.
    m_animation = std::make_unique<SplashAnimation>(
        backImage, spriteImage, spriteImage.size(), std::make_unique<ClockRandom>(),
        [this](const QString& message) { MessageService::current().showMessage(this, message); });
    Forms::instance().setHelpFile(Trim(QString(m_appDir + QStringLiteral("/Zettario.hlp"))));
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    FormPaint();
}

void TfrmSplash::FormPaint()
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_animation->Buffer);
}

void TfrmSplash::Timer1Timer()
{
    m_animation->step();
    // Only a shown window is repainted; a hidden one keeps composing its frames.
    update();
}

void TfrmSplash::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    FormMouseUp();
}

void TfrmSplash::FormMouseUp()
{
    {
        BusyCursor busy;
        ShellService::current().open(this, makerWebSite());
    }
    close();
}
