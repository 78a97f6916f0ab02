#pragma once

#include "archive/TSchedaContatto.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Placeholder of the journal's interface, replaced by its implementation.
QByteArray identitaRecord(const TSchedaContatto& scheda);

struct OperazioneGiornale
{
    enum class Tipo { Sostituita, Rimossa, Aggiunta };
    Tipo tipo;
    QByteArray prima;
    QByteArray dopo;
};

bool registraNelGiornale(const QString& appDir, const QList<OperazioneGiornale>& operazioni);

struct Giornale
{
    QList<OperazioneGiornale> operazioni;
    qint64 fine = 0;
    bool integro = true;
};
Giornale leggiGiornale(const QString& appDir);
bool consumaGiornale(const QString& appDir, qint64 fine);
void azzeraGiornale(const QString& appDir);
