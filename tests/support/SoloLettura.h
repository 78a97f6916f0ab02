#pragma once

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>

// Write-protects a file or a folder while it lives, as a locked stick or a read-only share would: the write
// permission bits go, which stops a normal user, and chattr +i is tried too, which stops root (who ignores
// permission bits) where the system allows the flag. attiva() says whether the protection holds, tried by
// writing.
class SoloLettura
{
public:
    explicit SoloLettura(const QString& percorso) : m_percorso(percorso), m_permessi(QFile::permissions(percorso))
    {
        QFile::setPermissions(percorso, m_permessi & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                       QFileDevice::WriteGroup | QFileDevice::WriteOther));
        m_immutabile = chattr(QStringLiteral("+i"));
        m_attiva = protetto();
    }
    ~SoloLettura()
    {
        if (m_immutabile)
            chattr(QStringLiteral("-i"));
        QFile::setPermissions(m_percorso, m_permessi);
    }
    SoloLettura(const SoloLettura&) = delete;
    SoloLettura& operator=(const SoloLettura&) = delete;

    bool attiva() const { return m_attiva; }

private:
    bool protetto() const
    {
        if (!QFileInfo(m_percorso).isDir())
            return !QFile(m_percorso).open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
        QFile prova(m_percorso + QStringLiteral("/.prova-di-scrittura"));
        if (!prova.open(QIODevice::WriteOnly))
            return true;
        prova.remove();
        return false;
    }

    bool chattr(const QString& flag) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("chattr"), {flag, m_percorso});
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QString m_percorso;
    QFileDevice::Permissions m_permessi;
    bool m_immutabile = false;
    bool m_attiva = false;
};
