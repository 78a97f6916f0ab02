#pragma once

#include <QProcess>
#include <QString>

// Makes a folder append-only while it lives (chattr +a): files can still be created in it, but no name in it
// can be removed or replaced, so renaming a file over another fails even for root. Not every file system or
// container allows the flag; attiva() says whether it took.
class CartellaBloccata
{
public:
    explicit CartellaBloccata(const QString& cartella) : m_cartella(cartella), m_attiva(chattr(QStringLiteral("+a"))) {}
    ~CartellaBloccata()
    {
        if (m_attiva)
            chattr(QStringLiteral("-a"));
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
    bool m_attiva;
};
