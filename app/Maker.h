#pragma once

#include <QString>

// The maker's addresses, opened from the main menu, the credits and the About window.
inline QString makerWebSite()
{
    return QStringLiteral("https://carnetto.example.org/");
}

inline QString makerEmail()
{
    return QStringLiteral("autore@carnetto.example.org");
}

inline QString makerCreditLine()
{
    return QStringLiteral("© 2026 Studio Carnetto - carnetto.example.org");
}
