#include "export/GrigliaEsportazione.h"

#include "archive/ArchiveFile.h"
#include "archive/CampiScheda.h"
#include "archive/Cp1252.h"
#include "archive/SchedaTesti.h"
#include "archive/Trim.h"

#include <charconv>
#include <cstring>

namespace {

using Disposizione = GrigliaEsportazione::Disposizione;

constexpr Disposizione kStandard = {{
    {Cognome, " Cognome", 150},
    {Nome, " Nome", 150},
    {Azienda, " Azienda", 150},
    {CodFisc, " Codice fiscale", 150},
    {Iva, " Partita IVA", 150},
    {Via, " Indirizzo", 250},
    {Citta, " Città", 200},
    {Cap, " CAP", 100},
    {Prov, " Provincia", 150},
    {Stato, " Stato", 150},
    {Tel, " Telefono", 100},
    {Fax, " Fax", 100},
    {Cellulare, " Cellulare", 100},
    {Email, " E-mail", 150},
    {Web, " Sito Internet", 250},
    {Note, " Note", 250},
}};

// The company first; every width stays that of the standard layout's column.
constexpr Disposizione kAziende = {{
    {Azienda, " Azienda", 150},
    {Cognome, " Cognome", 150},
    {Nome, " Nome", 150},
    {CodFisc, " Codice fiscale", 150},
    {Iva, " Partita IVA", 150},
    {Via, " Indirizzo", 250},
    {Citta, " Città", 200},
    {Cap, " CAP", 100},
    {Prov, " Provincia", 150},
    {Stato, " Stato", 150},
    {Tel, " Telefono", 100},
    {Fax, " Fax", 100},
    {Cellulare, " Cellulare", 100},
    {Email, " E-mail", 150},
    {Web, " Sito Internet", 250},
    {Note, " Note", 250},
}};

constexpr Disposizione kEmail = {{
    {Email, " E-mail", 200},
    {Cognome, " Cognome", 150},
    {Nome, " Nome", 150},
    {Azienda, " Azienda", 150},
    {CodFisc, " Codice fiscale", 150},
    {Iva, " Partita IVA", 150},
    {Via, " Indirizzo", 250},
    {Citta, " Città", 150},
    {Cap, " CAP", 100},
    {Prov, " Provincia", 150},
    {Stato, " Stato", 150},
    {Tel, " Telefono", 100},
    {Fax, " Fax", 100},
    {Cellulare, " Cellulare", 100},
    {Web, " Sito Internet", 250},
    {Note, " Note", 250},
}};

// The views test the trimmed field, so a field of blanks counts as empty.
bool pieno(const TSchedaContatto& scheda, Campo campo)
{
    return !TrimByte(byteCampo(scheda, campo)).isEmpty();
}

bool passa(const TSchedaContatto& scheda, GrigliaEsportazione::Vista vista)
{
    switch (vista) {
    case GrigliaEsportazione::Vista::Persone:
        return pieno(scheda, Cognome) && pieno(scheda, Nome);
    case GrigliaEsportazione::Vista::Aziende:
        return pieno(scheda, Azienda);
    case GrigliaEsportazione::Vista::Email:
        return pieno(scheda, Email);
    case GrigliaEsportazione::Vista::Tutti:
        break;
    }
    return true;
}

} // namespace

GrigliaEsportazione::GrigliaEsportazione()
{
    m_larghezze.fill(kLarghezzaIniziale);
}

const GrigliaEsportazione::Disposizione& GrigliaEsportazione::disposizione(Vista vista)
{
    switch (vista) {
    case Vista::Aziende:
        return kAziende;
    case Vista::Email:
        return kEmail;
    case Vista::Persone:
    case Vista::Tutti:
        break;
    }
    return kStandard;
}

QStringView GrigliaEsportazione::cella(int colonna, int riga) const
{
    if (riga < 0 || colonna < 0 || colonna >= kColonne || size_t(riga) >= m_piene.size())
        return {};
    const Riga& r = m_piene[size_t(riga)];
    const int inizio = colonna == 0 ? 0 : r.fine[size_t(colonna) - 1];
    return QStringView(r.testo).sliced(inizio, r.fine[size_t(colonna)] - inizio);
}

void GrigliaEsportazione::impostaLarghezza(int colonna, int pixel)
{
    if (colonna >= 0 && colonna < kColonne)
        m_larghezze[size_t(colonna)] = pixel;
}

GrigliaEsportazione::Riga GrigliaEsportazione::rigaDa(const std::array<QStringView, kColonne>& celle)
{
    Riga riga;
    qsizetype totale = 0;
    for (const QStringView& c : celle)
        totale += c.size();
    riga.testo.reserve(totale);
    for (size_t k = 0; k < celle.size(); ++k) {
        riga.testo += celle[k];
        riga.fine[k] = quint16(riga.testo.size());
    }
    return riga;
}

GrigliaEsportazione::Esito GrigliaEsportazione::riempi(const QString& appDir, Vista vista)
{
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Apertura::Lettura))
        return Esito::Interrotta;
    const qint64 schede = archivio.recordCount();
    if (schede <= 0)
        return Esito::Vuota;
    const Disposizione& colonne = disposizione(vista);

    std::array<QString, kColonne> captions;
    std::array<QStringView, kColonne> viste;
    for (size_t k = 1; k < kColonne; ++k) {
        captions[k] = QString::fromUtf8(colonne[k - 1].caption);
        viste[k] = captions[k];
    }
    m_piene.clear();
    m_piene.push_back(rigaDa(viste));
    m_righe = int(std::min<qint64>(schede, std::numeric_limits<int>::max() - 1)) + 1;

    // One row's cells as Windows-1252 bytes, decoded in one piece: a number of at most 10 digits and the
    // sixteen fields, which fit their slots.
    char byte[16 + sizeof(TSchedaContatto)];
    TSchedaContatto scheda;
    int numero = 0;
    for (int i = 1; i < m_righe; ++i) {
        if (!archivio.read(scheda)) {
            m_piene.shrink_to_fit();
            return Esito::Interrotta;
        }
        if (!passa(scheda, vista))
            continue;
        if (m_piene.capacity() == 1)
            m_piene.reserve(vista == Vista::Tutti ? size_t(m_righe) : size_t(m_righe) / 4 + 1);
        ++numero;
        Riga riga;
        char* p = std::to_chars(byte, byte + 16, numero).ptr;
        riga.fine[0] = quint16(p - byte);
        for (size_t k = 1; k < kColonne; ++k) {
            const QByteArrayView campo = TrimByte(byteCampo(scheda, Campo(colonne[k - 1].campo)));
            std::memcpy(p, campo.data(), size_t(campo.size()));
            p += campo.size();
            riga.fine[k] = quint16(p - byte);
        }
        riga.testo = fromCp1252(QByteArrayView(byte, p - byte));
        m_piene.push_back(std::move(riga));
    }
    m_piene.shrink_to_fit();
    archivio.close();

    m_larghezze[0] = kLarghezzaNumero;
    for (size_t k = 1; k < kColonne; ++k)
        m_larghezze[k] = colonne[k - 1].larghezza;
    return Esito::Riempita;
}
