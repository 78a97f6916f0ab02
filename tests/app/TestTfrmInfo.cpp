#include "app/Maker.h"
#include "app/TfrmInfo.h"
#include "support/FakeShellService.h"
#include "ui/ActiveLabel.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QColor colour(const QWidget* label)
{
    return label->palette().color(QPalette::WindowText);
}

const QColor kNavy(0, 0, 128);
const QColor kRed(255, 0, 0);

} // namespace

class TestTfrmInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_info = std::make_unique<TfrmInfo>(QString());
        m_info->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_info.get()));
    }
    void cleanup() { m_info.reset(); }

    void theLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("grpInfo") << "grpInfo" << QRect(12, 4, 445, 425);
        QTest::newRow("shpFoto") << "shpFoto" << QRect(12, 16, 421, 361);
        QTest::newRow("shpLogo") << "shpLogo" << QRect(16, 96, 53, 281);
        QTest::newRow("imgAutore") << "imgAutore" << QRect(16, 20, 103, 93);
        QTest::newRow("imgLogo") << "imgLogo" << QRect(28, 132, 20, 227);
        QTest::newRow("imgEmail") << "imgEmail" << QRect(12, 436, 16, 16);
        QTest::newRow("imgWeb") << "imgWeb" << QRect(12, 460, 12, 12);
        QTest::newRow("cmdOK") << "cmdOK" << QRect(372, 436, 85, 33);
    }

    void theLayout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        const QWidget* control = m_info->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        if (auto* picture = qobject_cast<const QLabel*>(control); picture && !name.startsWith("shp"))
            QCOMPARE(picture->pixmap().size(), geometry.size());
        QVERIFY(name.startsWith("shp") || !control->accessibleName().isEmpty());
    }

    void theLinksAtRest()
    {
        QCOMPARE(m_info->lblEmail->text(), "Invia e-mail");
        QCOMPARE(m_info->lblWeb->text(), "Visita sito Internet");
        QCOMPARE(m_info->lblEmail->pos(), QPoint(36, 436));
        QCOMPARE(m_info->lblWeb->pos(), QPoint(36, 456));
        for (const QWidget* link : {m_info->imgEmail, m_info->lblEmail, m_info->imgWeb, m_info->lblWeb}) {
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!link->autoFillBackground());
        }
        QCOMPARE(colour(m_info->lblEmail), kNavy);
        QCOMPARE(colour(m_info->lblWeb), kNavy);
        QVERIFY(m_info->lblEmail->font().underline());
        QCOMPARE(m_info->cmdOK->palette().color(QPalette::ButtonText), QColor(Qt::black));
        QCOMPARE(m_info->cmdOK->palette().color(QPalette::Button), QColor(192, 192, 192));
        QCOMPARE(m_info->cmdOK->cursor().shape(), Qt::PointingHandCursor);
    }

    // The pointer goes from the e-mail icon to the web label, to the e-mail label, to the web icon, onto the
    // group box, over a link again and off onto the window's background.
    void theLinksTurnRedUnderThePointer()
    {
        const auto moveOnto = [this](QWidget* w, QPoint at = {3, 3}) {
            QTest::mouseMove(w, at);
            QCoreApplication::processEvents();
        };
        moveOnto(m_info->imgEmail);
        QCOMPARE(colour(m_info->lblEmail), kRed);
        QCOMPARE(colour(m_info->lblWeb), kNavy);
        moveOnto(m_info->lblWeb);
        QCOMPARE(colour(m_info->lblWeb), kRed);
        QCOMPARE(colour(m_info->lblEmail), kNavy);
        moveOnto(m_info->lblEmail);
        QCOMPARE(colour(m_info->lblEmail), kRed);
        QCOMPARE(colour(m_info->lblWeb), kNavy);
        moveOnto(m_info->imgWeb);
        QCOMPARE(colour(m_info->lblWeb), kRed);
        QCOMPARE(colour(m_info->lblEmail), kNavy);
        moveOnto(m_info->grpInfo, QPoint(440, 400));
        QCOMPARE(colour(m_info->lblWeb), kNavy);
        QCOMPARE(colour(m_info->lblEmail), kNavy);
        moveOnto(m_info->lblEmail);
        QCOMPARE(colour(m_info->lblEmail), kRed);
        moveOnto(m_info.get(), QPoint(250, 450));
        QCOMPARE(colour(m_info->lblEmail), kNavy);
        QCOMPARE(colour(m_info->lblWeb), kNavy);
    }

    void theLinksOpenMailAndSite_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QString>("opened");
        const QString mail = "mailto:" + makerEmail();
        QTest::newRow("mail icon") << "imgEmail" << Qt::LeftButton << mail;
        QTest::newRow("mail label, right button") << "lblEmail" << Qt::RightButton << mail;
        QTest::newRow("web icon, middle button") << "imgWeb" << Qt::MiddleButton << makerWebSite();
        QTest::newRow("web label") << "lblWeb" << Qt::LeftButton << makerWebSite();
    }

    void theLinksOpenMailAndSite()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QString, opened);
        FakeShellService shell;
        QWidget* link = m_info->findChild<QWidget*>(control);
        QTest::mousePress(link, button);
        QVERIFY(shell.opened.isEmpty());
        QTest::mouseRelease(link, button);
        QCOMPARE(shell.opened, QStringList{opened});
        QVERIFY(m_info->isVisible());
    }

    void okCloses()
    {
        QTest::mouseClick(m_info->cmdOK, Qt::LeftButton);
        QVERIFY(!m_info->isVisible());
    }

private:
    std::unique_ptr<TfrmInfo> m_info;
};

QTEST_MAIN(TestTfrmInfo)
#include "TestTfrmInfo.moc"
