#include "ui/ActiveLabel.h"
#include "ui/HintLine.h"
#include "ui/HoverHints.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {

const QString hintSalva = QStringLiteral(" Salva in archivio.");
const QString hintEsci = QStringLiteral(" Esce dalla schermata.");
const QString hintPrimo = QStringLiteral(" Visualizza la prima scheda.");
const QString hintOK = QStringLiteral(" Controlla il codice.");

// A small window laid out like the card window: icon pairs, a lone picture and a decoration label in the
// icons' group box, a push button on the background and the hint line along the bottom.
struct HoverWindow
{
    explicit HoverWindow(HoverHints::Reset reset)
    {
        form.resize(400, 300);
        grpControlli = new QGroupBox(&form);
        grpControlli->setGeometry(10, 10, 300, 200);
        imgSalva = new ActiveLabel(grpControlli);
        imgSalva->setGeometry(10, 20, 32, 32);
        lblSalva = ActiveLabel::caption(grpControlli, QStringLiteral("lblSalva"), QStringLiteral("Salva"));
        lblSalva->setGeometry(50, 30, 60, 16);
        imgEsci = new ActiveLabel(grpControlli);
        imgEsci->setGeometry(10, 80, 32, 32);
        lblEsci = ActiveLabel::caption(grpControlli, QStringLiteral("lblEsci"), QStringLiteral("Esci"));
        lblEsci->setGeometry(50, 90, 60, 16);
        imgPrimo = new ActiveLabel(grpControlli);
        imgPrimo->setGeometry(150, 20, 32, 32);
        decoration = new QLabel(QStringLiteral("Rubrica"), grpControlli);
        decoration->setGeometry(150, 120, 100, 30);
        cmdOK = new QPushButton(QStringLiteral("OK"), &form);
        cmdOK->setGeometry(320, 20, 60, 25);
        panInfo = createHintLine(&form);

        hints = new HoverHints(panInfo, reset, &form);
        hints->addPair(imgSalva, lblSalva, hintSalva);
        hints->addPair(imgEsci, lblEsci, hintEsci);
        hints->addHintOnly(imgPrimo, hintPrimo);
        hints->addHintOnly(cmdOK, hintOK);
        hints->addResetArea(&form);
        hints->addResetArea(grpControlli);
    }

    bool show()
    {
        form.show();
        return QTest::qWaitForWindowExposed(&form);
    }

    // Movement as the window system delivers it, to whatever widget is under the pointer. The offset
    // makes consecutive moves over the same widget real moves.
    void over(QWidget* widget, int offset = 0)
    {
        m_step = (m_step + 1) % 4;
        const QPoint at = widget == &form || widget == grpControlli ? QPoint(0, 0) : QPoint(3, 3);
        QTest::mouseMove(form.windowHandle(), widget->mapTo(&form, at + QPoint(offset + m_step, m_step)));
    }
    void overBackground() { QTest::mouseMove(form.windowHandle(), QPoint(350 + m_step++ % 4, 150)); }
    void overGroupBox() { QTest::mouseMove(form.windowHandle(), QPoint(260 + m_step++ % 4, 180)); }

    QColor colour(QWidget* caption) const { return textColour(caption); }

    QWidget form;
    QGroupBox* grpControlli;
    ActiveLabel* imgSalva;
    ActiveLabel* lblSalva;
    ActiveLabel* imgEsci;
    ActiveLabel* lblEsci;
    ActiveLabel* imgPrimo;
    QLabel* decoration;
    QPushButton* cmdOK;
    QLabel* panInfo;
    HoverHints* hints;

private:
    int m_step = 0;
};

} // namespace

class TestHoverHints : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void atRest();
    void pairMarksItsCaption();
    void otherCaptionsAreNotTouched();
    void hintOnlyWidgets();
    void resetAreas_data();
    void resetAreas();
    void captionsTurnBlackEvenWithAnEmptyHintLine_data();
    void captionsTurnBlackEvenWithAnEmptyHintLine();
    void decorationInsideResetAreaDoesNotReset();
};

void TestHoverHints::atRest()
{
    HoverWindow w(HoverHints::Reset::WhenNotEmpty);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::black());
    QCOMPARE(w.colour(w.lblEsci), HoverHints::black());
    QCOMPARE(w.panInfo->text(), QString());
    QCOMPARE(w.panInfo->height(), 26);
    QCOMPARE(w.panInfo->geometry().bottom(), w.form.height() - 1);
    QCOMPARE(w.panInfo->objectName(), QStringLiteral("panInfo"));
}

void TestHoverHints::pairMarksItsCaption()
{
    HoverWindow w(HoverHints::Reset::WhenNotEmpty);
    QVERIFY(w.show());

    w.over(w.imgSalva);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
    QCOMPARE(w.colour(w.lblEsci), HoverHints::black());
    QCOMPARE(w.panInfo->text(), hintSalva);

    // From the picture to its own caption and back, nothing changes.
    for (QWidget* twin : {static_cast<QWidget*>(w.lblSalva), static_cast<QWidget*>(w.imgSalva)}) {
        w.over(twin);
        QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
        QCOMPARE(w.panInfo->text(), hintSalva);
    }

    w.over(w.lblEsci);
    QCOMPARE(w.colour(w.lblEsci), HoverHints::red());
    QCOMPARE(w.panInfo->text(), hintEsci);
}

void TestHoverHints::otherCaptionsAreNotTouched()
{
    HoverWindow w(HoverHints::Reset::Always);
    QVERIFY(w.show());
    // Straight from one icon to the other without crossing the group box: only the background clears.
    w.over(w.imgSalva);
    w.over(w.imgEsci);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
    QCOMPARE(w.colour(w.lblEsci), HoverHints::red());
    QCOMPARE(w.panInfo->text(), hintEsci);
}

void TestHoverHints::hintOnlyWidgets()
{
    HoverWindow w(HoverHints::Reset::WhenNotEmpty);
    QVERIFY(w.show());
    w.over(w.lblSalva);

    w.over(w.imgPrimo);
    QCOMPARE(w.panInfo->text(), hintPrimo);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());

    w.over(w.cmdOK);
    QCOMPARE(w.panInfo->text(), hintOK);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
    QCOMPARE(w.colour(w.lblEsci), HoverHints::black());
}

void TestHoverHints::resetAreas_data()
{
    QTest::addColumn<HoverHints::Reset>("reset");
    QTest::addColumn<bool>("groupBox");
    QTest::newRow("card window, group box") << HoverHints::Reset::WhenNotEmpty << true;
    QTest::newRow("card window, background") << HoverHints::Reset::WhenNotEmpty << false;
    QTest::newRow("export window, group box") << HoverHints::Reset::Always << true;
    QTest::newRow("export window, background") << HoverHints::Reset::Always << false;
}

void TestHoverHints::resetAreas()
{
    QFETCH(HoverHints::Reset, reset);
    QFETCH(bool, groupBox);

    HoverWindow w(reset);
    QVERIFY(w.show());
    w.over(w.imgSalva);
    w.over(w.imgEsci);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());

    // Off the icon onto the area: every caption black and the hint line empty in the same movement.
    groupBox ? w.overGroupBox() : w.overBackground();
    QCOMPARE(w.colour(w.lblSalva), HoverHints::black());
    QCOMPARE(w.colour(w.lblEsci), HoverHints::black());
    QCOMPARE(w.panInfo->text(), QString());

    // A hint-only widget marks nothing, so the area only empties the line.
    w.over(w.cmdOK);
    QCOMPARE(w.panInfo->text(), hintOK);
    groupBox ? w.overGroupBox() : w.overBackground();
    QCOMPARE(w.panInfo->text(), QString());
}

void TestHoverHints::captionsTurnBlackEvenWithAnEmptyHintLine_data()
{
    QTest::addColumn<HoverHints::Reset>("reset");
    QTest::newRow("WhenNotEmpty") << HoverHints::Reset::WhenNotEmpty;
    QTest::newRow("Always") << HoverHints::Reset::Always;
}

void TestHoverHints::captionsTurnBlackEvenWithAnEmptyHintLine()
{
    QFETCH(HoverHints::Reset, reset);

    HoverWindow w(reset);
    QVERIFY(w.show());
    w.over(w.imgSalva);
    // Only the emptying of the hint line depends on what it holds; the captions turn black regardless.
    w.panInfo->clear();
    w.overBackground();
    QCOMPARE(w.colour(w.lblSalva), HoverHints::black());
    QCOMPARE(w.panInfo->text(), QString());
}

void TestHoverHints::decorationInsideResetAreaDoesNotReset()
{
    HoverWindow w(HoverHints::Reset::Always);
    QVERIFY(w.show());
    w.over(w.lblSalva);

    w.over(w.decoration);
    w.over(w.decoration, 20);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
    QCOMPARE(w.panInfo->text(), hintSalva);

    // Neither does the hint line itself, a child of the background.
    w.over(w.panInfo, 100);
    QCOMPARE(w.colour(w.lblSalva), HoverHints::red());
    QCOMPARE(w.panInfo->text(), hintSalva);

    w.overGroupBox();
    QCOMPARE(w.colour(w.lblSalva), HoverHints::black());
    QCOMPARE(w.panInfo->text(), QString());
}

QTEST_MAIN(TestHoverHints)
#include "TestHoverHints.moc"
