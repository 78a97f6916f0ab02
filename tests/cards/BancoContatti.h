#pragma once

#include "app/Forms.h"
#include "archive/ArchiveFile.h"
#include "cards/TfrmContatti.h"
#include "support/FakeMessageService.h"
#include "support/FakeShellService.h"

#include <QTemporaryDir>
#include <QTest>

// The program's shared windows on a fresh temporary folder, with the message boxes and the desktop shell
// replaced by recorders, and the card window at hand.
class BancoContatti
{
public:
    // appDir: the folder of the archive; a fresh temporary one when empty.
    explicit BancoContatti(const QString& appDir = {}) : m_forms(appDir.isEmpty() ? m_dir.path() : appDir) {}

    // Shows the card window as the main menu does, and waits until it has the keyboard.
    bool mostra()
    {
        frmContatti()->show();
        return QTest::qWaitForWindowActive(frmContatti());
    }

    TfrmContatti* finestra() const { return frmContatti(); }
    QString cartella() const { return m_forms.appDir(); }
    QString archivio() const { return ArchiveFile::archivePath(cartella()); }
    QString temporaneo() const { return ArchiveFile::tempPath(cartella()); }

    template <typename T = QWidget> T* controllo(const char* nome) const
    {
        T* w = frmContatti()->findChild<T*>(QLatin1StringView(nome));
        if (!w)
            qFatal("The card window has no control named %s", nome);
        return w;
    }

    FakeMessageService messaggi;
    FakeShellService shell;

private:
    QTemporaryDir m_dir;
    Forms m_forms;
};
