#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

// Stops names in a folder from being removed or replaced while it lives, so renaming a file over another
// fails. For root it makes the folder append-only (chattr +a: files can still be created in it); for a user
// who may not set that flag the folder loses its write permission bits instead, so creating a file there
// fails as well. attiva() says whether either took.
class CartellaBloccata
{
public:
    explicit CartellaBloccata(const QString& cartella)
        : m_cartella(cartella), m_permessi(QFile::permissions(cartella)), m_soloAggiunta(chattr(QStringLiteral("+a")))
    {
        if (m_soloAggiunta) {
            m_attiva = true;
            return;
        }
        QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile prova(cartella + QStringLiteral("/.prova-di-scrittura"));
        m_attiva = !prova.open(QIODevice::WriteOnly);
        if (!m_attiva)
            prova.remove();
    }
    ~CartellaBloccata()
    {
        if (m_soloAggiunta)
            chattr(QStringLiteral("-a"));
        else
            QFile::setPermissions(m_cartella, m_permessi);
    }
    CartellaBloccata(const CartellaBloccata&) = delete;
    CartellaBloccata& operator=(const CartellaBloccata&) = delete;

    bool attiva() const { return m_attiva; }

private:
    bool chattr(const QString& flag) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("chattr"), {flag, m_cartella});
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QString m_cartella;
    QFileDevice::Permissions m_permessi;
    bool m_soloAggiunta;
    bool m_attiva = false;
};
