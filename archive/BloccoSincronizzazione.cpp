#include "archive/BloccoSincronizzazione.h"

#include "archive/ArchiveFile.h"

BloccoSincronizzazione::BloccoSincronizzazione(const QString& appDir)
    : m_blocco(percorso(appDir), std::chrono::milliseconds(0))
{
}

bool BloccoSincronizzazione::preso() const
{
    return m_blocco.state() == ArchiveLock::State::Held || m_blocco.state() == ArchiveLock::State::Unlocked;
}

QString BloccoSincronizzazione::problema() const
{
    if (m_blocco.guasto())
        return m_blocco.problema();
    return preso() ? QString() : messaggioSincronizzazioneInCorso();
}

QString BloccoSincronizzazione::percorso(const QString& appDir)
{
    return ArchiveLock::lockPath(ArchiveFile::archivePath(appDir), QStringLiteral("Contatti.synclock"));
}

QString messaggioSincronizzazioneInCorso()
{
    return QStringLiteral("Sincronizzazione già in corso: attendere che finisca e riprovare.");
}
