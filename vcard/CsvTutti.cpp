#include "vcard/CsvTutti.h"

#include "archive/ArchiveFile.h"
#include "archive/Cp1252.h"
#include "archive/TestiScheda.h"

#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <array>

namespace {

struct Colonna
{
    Campo campo;
    const char* caption; // UTF-8
};

// The standard layout of the export grid, columns 1 to 16.
constexpr std::array<Colonna, kNumeroCampi> kStandard = {{
    {Cognome, " Cognome"},
    {Nome, " Nome"},
    {Azienda, " Azienda"},
    {CodFisc, " Codice fiscale"},
    {Iva, " Partita IVA"},
    {Via, " Indirizzo"},
    {Citta, " Città"},
    {Cap, " CAP"},
    {Prov, " Provincia"},
    {Stato, " Stato"},
    {Tel, " Telefono"},
    {Fax, " Fax"},
    {Cellulare, " Cellulare"},
    {Email, " E-mail"},
    {Web, " Sito Internet"},
    {Note, " Note"},
}};

// A grid that was never filled (an empty archive) has ten rows and no captions.
constexpr int kRigheIniziali = 10;

// Bare unless a blank, a control character, a double quote or a comma asks for quotes.
void aggiungiCella(QByteArray& riga, QStringView testo)
{
    const bool virgolette = std::any_of(testo.begin(), testo.end(), [](QChar c) {
        return (c.unicode() >= 1 && c.unicode() <= 32) || c == QLatin1Char('"') || c == QLatin1Char(',');
    });
    if (!virgolette) {
        riga += toCp1252(testo);
        return;
    }
    riga += '"';
    riga += toCp1252(testo).replace('"', "\"\"");
    riga += '"';
}

EsitoScambio fallito(EsitoScambio::Tipo tipo, const QString& dettaglio = {})
{
    EsitoScambio esito;
    esito.tipo = tipo;
    esito.dettaglio = dettaglio;
    return esito;
}

} // namespace

EsitoScambio csvTutti(const QString& appDir, QIODevice& out)
{
    EsitoScambio esito;
    const QString percorso = ArchiveFile::archivePath(appDir);
    qint64 n = 0;
    ArchiveFile archivio(percorso);
    if (QFileInfo::exists(percorso)) {
        if (!archivio.open(ArchiveFile::Access::ReadOnly) || !archivio.seek(0))
            return fallito(EsitoScambio::ErroreArchivio);
        n = archivio.recordCount();
    }
    QByteArray testo;
    if (n == 0) {
        for (int i = 0; i < kRigheIniziali; ++i)
            testo += QByteArray(kNumeroCampi, ',') + "\r\n";
    } else {
        for (const Colonna& c : kStandard) {
            testo += ',';
            aggiungiCella(testo, QString::fromUtf8(c.caption));
        }
        testo += "\r\n";
    }
    TSchedaContatto scheda;
    for (qint64 i = 0; i < n; ++i) {
        if (!archivio.read(scheda))
            return fallito(EsitoScambio::ErroreArchivio);
        testo += QByteArray::number(i + 1);
        for (const Colonna& c : kStandard) {
            testo += ',';
            aggiungiCella(testo, testoCampo(scheda, c.campo));
        }
        testo += "\r\n";
        if (testo.size() >= (1 << 20)) {
            if (out.write(testo) != testo.size())
                return fallito(EsitoScambio::ErroreScrittura, out.errorString());
            testo.resize(0);
        }
    }
    if (!archivio.close())
        return fallito(EsitoScambio::ErroreArchivio);
    if (out.write(testo) != testo.size())
        return fallito(EsitoScambio::ErroreScrittura, out.errorString());
    esito.schede = int(n);
    return esito;
}

EsitoScambio esportaCsvTutti(const QString& appDir, const QString& percorso)
{
    return salvaFile(appDir, percorso, [&](QIODevice& out) { return csvTutti(appDir, out); });
}
