#pragma once

#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <cstring>

// Sample cards for tests and benchmarks. scheda(n): card n (from 1) names its number in its texts, and the
// bytes after each text hold a pattern of n, so a record that moved, changed or mixed with another shows in
// a byte comparison. schedaTipica(n): a card of typical lengths with accented letters and the euro sign.
namespace SchedeDiProva {

constexpr qsizetype kRecord = 1148;

inline QString cognome(int n)
{
    return QStringLiteral("Cognome %1").arg(n);
}

inline TSchedaContatto scheda(int n, TestiScheda testi = {})
{
    TSchedaContatto s;
    auto* p = reinterpret_cast<unsigned char*>(&s);
    for (int k = 0; k < kRecord; ++k)
        p[k] = static_cast<unsigned char>(n * 37 + k * 11);
    if (testi[Cognome].isEmpty())
        testi[Cognome] = cognome(n);
    if (testi[Tel].isEmpty())
        testi[Tel] = QStringLiteral("06 %1").arg(n);
    schedaDaTesti(s, testi);
    return s;
}

inline QByteArray byte(const TSchedaContatto& s)
{
    return QByteArray(reinterpret_cast<const char*>(&s), kRecord);
}

// The records of the cards named, in that order.
inline QByteArray archivio(const QList<int>& numeri)
{
    QByteArray out;
    for (int n : numeri)
        out += byte(scheda(n));
    return out;
}

inline QByteArray archivio(int schede)
{
    QList<int> numeri;
    for (int n = 1; n <= schede; ++n)
        numeri << n;
    return archivio(numeri);
}

inline bool scrivi(const QString& percorso, const QByteArray& contenuto)
{
    QFile f(percorso);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenuto) == contenuto.size();
}

// "<manca>" for a missing file and "<illeggibile>" for anything that is not a readable file, so that a
// comparison with real content fails.
inline QByteArray leggi(const QString& percorso)
{
    if (!QFile::exists(percorso))
        return "<manca>";
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illeggibile>");
}

inline TSchedaContatto record(const QByteArray& contenuto, int indice)
{
    TSchedaContatto s{};
    if ((indice + 1) * kRecord <= contenuto.size())
        std::memcpy(&s, contenuto.constData() + indice * kRecord, kRecord);
    return s;
}

// The records of cards with these texts, each written as the card window writes it.
inline QByteArray archivioDaTesti(const QList<TestiScheda>& schede)
{
    QByteArray out;
    for (const TestiScheda& t : schede) {
        TSchedaContatto s{};
        schedaDaTesti(s, t);
        out += byte(s);
    }
    return out;
}

// The record at position 2 of the archive in `cartella`, as the card window loads it before a save or a
// deletion there.
inline TSchedaContatto registrata(const QString& cartella, int posizione = 2)
{
    return record(leggi(cartella + QStringLiteral("/Contatti.pro")), posizione - 1);
}

// A folder where the archive should be: no operation can open it as a file, whoever runs the test.
inline bool archivioCartella(const QString& appDir)
{
    return QDir(appDir).mkpath(QStringLiteral("Contatti.pro/dentro"));
}

// The card of Mario Rossi that the list-line and search tests show: every field the list line shows is filled.
inline TestiScheda testiRossi()
{
    TestiScheda rossi;
    rossi[Cognome] = QStringLiteral("Rossi");
    rossi[Nome] = QStringLiteral("Mario");
    rossi[Azienda] = QStringLiteral("Alfa Srl");
    rossi[CodFisc] = QStringLiteral("RSSMRA80A01H501U");
    rossi[Iva] = QStringLiteral("01234567890");
    rossi[Citta] = QStringLiteral("Roma");
    rossi[Tel] = QStringLiteral("06 1234567");
    return rossi;
}

// The cards every benchmark writes: typical lengths, accented letters and the euro sign.
inline TestiScheda testiTipici(int n)
{
    TestiScheda testi;
    testi[Cognome] = QStringLiteral("Cognomè %1").arg(n);
    testi[Nome] = QStringLiteral("Nome %1").arg(n % 997);
    testi[Azienda] = QStringLiteral("Azienda S.p.A. %1").arg(n % 101);
    testi[Via] = QStringLiteral("Via Giuseppe Garibaldi, %1").arg(n % 300);
    testi[Citta] = QStringLiteral("Città %1").arg(n % 50);
    testi[Cap] = QStringLiteral("%1").arg(n % 100000, 5, 10, QLatin1Char('0'));
    testi[Tel] = QStringLiteral("06 %1").arg(n);
    testi[Email] = QStringLiteral("utente%1@esempio.it").arg(n);
    testi[Web] = QStringLiteral("http://www.esempio.it/%1").arg(n);
    testi[Note] = QStringLiteral("Note con € e àèéìòù, scheda %1").arg(n);
    return testi;
}

inline TSchedaContatto schedaTipica(int n)
{
    TSchedaContatto scheda{};
    schedaDaTesti(scheda, testiTipici(n));
    return scheda;
}

// An archive of `schede` typical cards in appDir, as the benchmarks build them; false when it cannot be written.
inline bool scriviArchivioTipico(const QString& appDir, int schede)
{
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Access::OpenOrCreate))
        return false;
    for (int n = 0; n < schede; ++n)
        archivio.write(schedaTipica(n));
    return archivio.close();
}

} // namespace SchedeDiProva
