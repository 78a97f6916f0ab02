#include "ui/ShellService.h"

#include <QDesktopServices>

namespace {

class DesktopShellService final : public ShellService
{
protected:
    void openUrl(QWidget*, const QUrl& url) override { QDesktopServices::openUrl(url); }
};

bool startsWithNoCase(const QString& text, QLatin1StringView prefix)
{
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

} // namespace

ShellService& ShellService::realService()
{
    static DesktopShellService service;
    return service;
}

bool ShellService::open(QWidget* owner, const QString& address)
{
    const std::optional<QUrl> url = safeUrl(address);
    if (!url)
        return false;
    openUrl(owner, *url);
    return true;
}

std::optional<QUrl> ShellService::safeUrl(const QString& address)
{
    const QString text = address.trimmed();
    if (startsWithNoCase(text, QLatin1StringView("mailto:"))) {
        const QString recipient = text.mid(7).trimmed();
        if (recipient.isEmpty())
            return std::nullopt;
        // Every character outside the unreserved set and "@" is encoded, so "?", "&" and "#" in a stored
        // address cannot add headers, a body or attachments to the message.
        const QByteArray encoded = QUrl::toPercentEncoding(recipient, "@");
        QUrl url = QUrl::fromEncoded("mailto:" + encoded, QUrl::StrictMode);
        if (!url.isValid())
            return std::nullopt;
        return url;
    }
    static const QLatin1StringView schemes[] = {QLatin1StringView("http://"), QLatin1StringView("https://"),
                                                QLatin1StringView("ftp://")};
    for (QLatin1StringView scheme : schemes) {
        if (!startsWithNoCase(text, scheme))
            continue;
        const QUrl url(text, QUrl::TolerantMode);
        const QString s = url.scheme().toLower();
        if (!url.isValid() || (s != u"http" && s != u"https" && s != u"ftp"))
            return std::nullopt;
        return url;
    }
    return std::nullopt;
}
