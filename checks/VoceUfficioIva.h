#pragma once

#include <QStringView>

// One row of the issuing-office table; both texts are literals that live for the whole run.
struct VoceUfficioIva
{
    QStringView codice;
    QStringView nome;
};
