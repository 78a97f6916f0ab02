#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// While it lives, this process can write files only up to a size, as on a disk that fills up: a write past
// the limit fails (EFBIG) instead of raising SIGXFSZ. Works for root too; attiva() is false where the system
// has no such limit.
class LimiteScrittura
{
public:
    explicit LimiteScrittura(qint64 byte)
    {
#ifdef Q_OS_UNIX
        if (getrlimit(RLIMIT_FSIZE, &m_prima) != 0)
            return;
        m_segnale = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = m_prima;
        limite.rlim_cur = rlim_t(byte);
        m_attiva = setrlimit(RLIMIT_FSIZE, &limite) == 0;
#else
        Q_UNUSED(byte);
#endif
    }
    ~LimiteScrittura()
    {
#ifdef Q_OS_UNIX
        if (m_attiva)
            setrlimit(RLIMIT_FSIZE, &m_prima);
        if (m_segnale != SIG_ERR)
            std::signal(SIGXFSZ, m_segnale);
#endif
    }
    LimiteScrittura(const LimiteScrittura&) = delete;
    LimiteScrittura& operator=(const LimiteScrittura&) = delete;

    bool attiva() const
    {
        return m_attiva;
    }

private:
    bool m_attiva = false;
#ifdef Q_OS_UNIX
    rlimit m_prima{};
    void (*m_segnale)(int) = SIG_ERR;
#endif
};
