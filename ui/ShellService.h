#pragma once

#include "ui/ServiceSlot.h"

#include <QString>
#include <QUrl>

#include <optional>

class QWidget;

// Hands web and e-mail addresses to the desktop's default handler. Only http, https and ftp addresses
// and mailto addresses (whose address part is percent-encoded here) ever reach the desktop: a text taken
// from the archive can never start a program or open a local file.
class ShellService : public ServiceSlot<ShellService>
{
public:
    virtual ~ShellService() = default;

    // The desktop's own handlers.
    static ShellService& realService();

    // Asks the desktop to open the address; false when the address was refused. Like the desktop's own
    // "open", the outcome of the request itself is not reported.
    bool open(QWidget* owner, const QString& address);

    // The URL that open() would hand on, or nothing when the address is refused.
    static std::optional<QUrl> safeUrl(const QString& address);

protected:
    virtual void openUrl(QWidget* owner, const QUrl& url) = 0;
};
