#pragma once

#include "ui/ShellService.h"

#include <QStringList>

// Records what the program asked the desktop to open (after the safety filter of ShellService).
class FakeShellService final : public ShellService
{
public:
    FakeShellService() { ShellService::setCurrent(this); }
    ~FakeShellService() override { ShellService::setCurrent(nullptr); }

    QStringList opened;

protected:
    void openUrl(QWidget*, const QUrl& url) override { opened << url.toString(QUrl::FullyEncoded); }
};
