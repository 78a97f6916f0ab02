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
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

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

void TfrmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Hidden, the flags only moved: the frame is drawn where they have got to.
    if (m_animation->isBehind())
        m_animation->compose();
}

void TfrmSplash::paintEvent(QPaintEvent* event)
{
    FormPaint(event->region());
}

namespace {

// Qt hands a copy of 96 lines or more to its thread pool; for the few thousand pixels of a step, waking the
// threads costs more than the copy itself.
constexpr int kBand = 64;

} // namespace

// Buffer onto the window at 0,0; only the part asked for, which between two steps is the places the flags
// left and took, in bands of kBand lines.
void TfrmSplash::FormPaint(const QRegion& region)
{
    QPainter painter(this);
    for (const QRect& r : region) {
        for (int top = r.top(); top <= r.bottom(); top += kBand) {
            const QRect band(r.left(), top, r.width(), std::min(kBand, r.bottom() + 1 - top));
            painter.drawImage(band.topLeft(), m_animation->Buffer, band);
        }
    }
}

void TfrmSplash::Timer1Timer()
{
    // Nobody sees a hidden window's frame: its flags move on without being drawn.
    if (!isVisible()) {
        m_animation->advance();
        return;
    }
    if (m_animation->isBehind()) {
        m_animation->step();
        update();
        return;
    }
    // Each flag moves a few pixels a step: the box round where it was and where it is now covers both with
    // little more, and five boxes make a far simpler region to paint than ten overlapping ones.
    const std::vector<QRect> before = m_animation->drawnRects();
    m_animation->step();
    const std::vector<QRect>& after = m_animation->drawnRects();
    QRegion changed;
    for (size_t i = 0; i < after.size(); ++i)
        changed += (i < before.size() ? before[i] : QRect()) | after[i];
    update(changed);
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
