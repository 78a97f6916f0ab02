#include "support/FakeShellService.h"
#include "ui/ShellService.h"

#include <QTest>

class TestShellService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void safeUrl_data();
    void safeUrl();
    void mailtoHasNoQuery();
    void openHandsOnOnlySafeUrls();
};

void TestShellService::safeUrl_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("url"); // empty: refused

    const auto allowed = [](const char* name, const QString& address, const QString& url) {
        QTest::newRow(name) << address << url;
    };
    const auto refused = [](const char* name, const QString& address) { QTest::newRow(name) << address << QString(); };

    allowed("http", "http://www.esempio.it", "http://www.esempio.it");
    allowed("https with path and query", "https://www.esempio.it/a/b?c=1&d=2#e",
            "https://www.esempio.it/a/b?c=1&d=2#e");
    allowed("ftp", "ftp://ftp.esempio.it/pub", "ftp://ftp.esempio.it/pub");
    allowed("upper-case scheme", "HTTP://WWW.ESEMPIO.IT", "http://www.esempio.it");
    allowed("mixed-case https", "HttpS://esempio.it", "https://esempio.it");
    allowed("scheme alone", "http://", "http://");
    allowed("blanks around", "  http://esempio.it  ", "http://esempio.it");
    allowed("blank inside the path", "http://esempio.it/a b", "http://esempio.it/a%20b");

    refused("empty", "");
    refused("blanks", "   ");
    refused("file", "file:///etc/passwd");
    refused("file upper case", "FILE:///etc/passwd");
    refused("javascript", "javascript:alert(1)");
    refused("javascript with slashes", "javascript://%0Aalert(1)");
    refused("data", "data:text/html,<script>alert(1)</script>");
    refused("relative web address", "www.esempio.it");
    refused("absolute path", "/usr/bin/xterm");
    refused("relative path", "../Contatti.pro");
    refused("windows drive", "C:\\x");
    refused("unc path", "\\\\server\\share");
    refused("one slash", "http:/esempio.it");
    refused("no slash", "http:esempio.it");
    refused("other scheme", "ftps://esempio.it");
    refused("scheme as prefix", "httpx://esempio.it");
    refused("smb", "smb://server/share");

    allowed("mailto", "mailto:a@b.it", "mailto:a@b.it");
    allowed("mailto upper case", "MAILTO:a@b.it", "mailto:a@b.it");
    allowed("mailto blanks around the address", "mailto:  a@b.it ", "mailto:a@b.it");
    allowed("mailto headers encoded", "mailto:a@b.it?subject=x&attach=/etc/passwd",
            "mailto:a@b.it%3Fsubject%3Dx%26attach%3D%2Fetc%2Fpasswd");
    allowed("mailto blank inside", "mailto:a b@c.it", "mailto:a%20b@c.it");
    allowed("mailto fragment encoded", "mailto:a@b.it#x", "mailto:a@b.it%23x");
    allowed("mailto accented", "mailto:forlì@b.it", "mailto:forl%C3%AC@b.it");
    refused("mailto empty", "mailto:");
    refused("mailto blank address", "mailto:   ");
    refused("bare e-mail address", "a@b.it");
}

void TestShellService::safeUrl()
{
    QFETCH(QString, address);
    QFETCH(QString, url);

    const std::optional<QUrl> safe = ShellService::safeUrl(address);
    if (url.isEmpty()) {
        QVERIFY2(!safe, qPrintable(safe ? safe->toString() : QString()));
        return;
    }
    QVERIFY(safe);
    QCOMPARE(safe->toString(QUrl::FullyEncoded), url);
}

void TestShellService::mailtoHasNoQuery()
{
    // Whatever a stored address holds, the mail program gets a recipient and nothing else.
    for (const char* address : {"mailto:a@b.it?subject=x&attach=/etc/passwd", "mailto:a@b.it?body=x",
                                "mailto:?to=a@b.it", "mailto:a@b.it&cc=c@d.it"}) {
        const std::optional<QUrl> safe = ShellService::safeUrl(QString::fromLatin1(address));
        QVERIFY2(safe, address);
        QVERIFY2(!safe->hasQuery(), address);
        QVERIFY2(!safe->hasFragment(), address);
        QCOMPARE(safe->scheme(), QStringLiteral("mailto"));
    }
}

void TestShellService::openHandsOnOnlySafeUrls()
{
    FakeShellService shell;
    QVERIFY(ShellService::current().open(nullptr, QStringLiteral("www.esempio.it")) == false);
    QVERIFY(ShellService::current().open(nullptr, QStringLiteral("file:///bin/sh")) == false);
    QVERIFY(shell.opened.isEmpty());

    QVERIFY(ShellService::current().open(nullptr, QStringLiteral("http://www.esempio.it")));
    QVERIFY(ShellService::current().open(nullptr, QStringLiteral("mailto:a@b.it?subject=x")));
    QCOMPARE(shell.opened,
             QStringList({QStringLiteral("http://www.esempio.it"), QStringLiteral("mailto:a@b.it%3Fsubject%3Dx")}));
}

QTEST_APPLESS_MAIN(TestShellService)
#include "TestShellService.moc"
