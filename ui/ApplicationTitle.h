#pragma once

#include <QString>

// The application title: the caption of plain message boxes and the name on the task bar.
inline QString applicationTitle()
{
    return QStringLiteral("Carnetto 4.0 - La rubrica da portare a spasso!");
}
