#include "app/Forms.h"
#include "app/Maker.h"
#include "app/TfrmSplash.h"
#include "support/FakeMessageService.h"
#include "support/FakeShellService.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestTfrmSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_forms = std::make_unique<Forms>(m_dir.path());
    }
    void cleanup() { m_forms.reset(); }

    void theWindowTakesItsPicturesWithoutAMessage()
    {
        m_forms.reset();
        FakeMessageService messages;
        m_forms = std::make_unique<Forms>(m_dir.path());
        QVERIFY(messages.entries.isEmpty());
        SplashAnimation& a = frmSplash()->animation();
        QCOMPARE(a.Background.size(), QSize(591, 356));
        QCOMPARE(a.Images.Width, 108);
        QCOMPARE(a.Images.Height, 60);
        QCOMPARE(a.Images.TransparentColor | 0xFF000000, 0xFF0000FFu);
        QCOMPARE(frmSplash()->pos(), QPoint(359, 140));
        QCOMPARE(frmSplash()->cursor().shape(), Qt::PointingHandCursor);
    }

    // The flags fly from creation on, whether the window is shown or not. Shown, the window repaints only the
    // places the flags left and took, and what reaches the screen is Buffer, whole and without trails.
    void theAnimationRunsHiddenAndShown()
    {
        TfrmSplash* splash = frmSplash();
        QVERIFY(splash->Timer1->isActive());
        QCOMPARE(splash->Timer1->interval(), 50);
        QVERIFY(!splash->isVisible());
        const TSprite first = splash->animation().Sprites[0];
        QTRY_VERIFY(splash->animation().Sprites[0].X != first.X || splash->animation().Sprites[0].Y != first.Y);

        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        const QImage shown = splash->animation().Buffer.copy();
        QTRY_VERIFY(splash->animation().Buffer != shown);
        QTest::qWait(400);
        splash->Timer1->stop();
        QTest::qWait(20); // the last frame's repaint
        const QImage onScreen = splash->screen()->grabWindow(splash->winId()).toImage();
        splash->Timer1->start();
        QCOMPARE(onScreen.convertToFormat(QImage::Format_RGB32),
                 splash->animation().Buffer.convertToFormat(QImage::Format_RGB32));
        splash->close();
        QVERIFY(splash->Timer1->isActive());
    }

    void anyButtonReleasedOpensTheMakersSiteAndCloses_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("left") << Qt::LeftButton << QPoint(10, 10);
        QTest::newRow("right") << Qt::RightButton << QPoint(300, 180);
        QTest::newRow("middle") << Qt::MiddleButton << QPoint(580, 350);
    }

    void anyButtonReleasedOpensTheMakersSiteAndCloses()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, at);
        FakeShellService shell;
        TfrmSplash* splash = frmSplash();
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QTest::mousePress(splash, button, {}, at);
        QVERIFY(shell.opened.isEmpty());
        QTest::mouseRelease(splash, button, {}, at);
        QCOMPARE(shell.opened, QStringList{makerWebSite()});
        QVERIFY(!splash->isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(splash->Timer1->isActive());
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Forms> m_forms;
};

QTEST_MAIN(TestTfrmSplash)
#include "TestTfrmSplash.moc"
