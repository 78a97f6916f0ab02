#include "archive/GiornaleArchivio.h"

#include <QCryptographicHash>

QByteArray identitaRecord(const TSchedaContatto& scheda)
{
    return QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char*>(&scheda), sizeof scheda),
                                    QCryptographicHash::Sha256)
        .left(16)
        .toHex();
}
bool registraNelGiornale(const QString&, const QList<OperazioneGiornale>&) { return true; }
Giornale leggiGiornale(const QString&) { return {}; }
bool consumaGiornale(const QString&, qint64) { return true; }
void azzeraGiornale(const QString&) {}
