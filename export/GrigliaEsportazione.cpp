#include "export/GrigliaEsportazione.h"

#include "archive/ArchiveFile.h"
#include "archive/CampiScheda.h"
#include "archive/Cp1252.h"
#include "archive/TestiScheda.h"
#include "archive/Trim.h"
#include "export/EsportazioneCsv.h"

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

QString GrigliaEsportazione::testo(int colonna, int riga) const
{
    if (riga < 0 || colonna < 0 || colonna >= kColonne || size_t(riga) >= m_piene.size())
        return {};
    const Riga& r = m_piene[size_t(riga)];
    qsizetype inizio = colonna == 0 ? 0 : r.fine[size_t(colonna) - 1] + 1;
    qsizetype fine = r.fine[size_t(colonna)];
    if (r.virgolettate & (1u << colonna)) {
        ++inizio;
        --fine;
    }
    const QByteArrayView scritta = QByteArrayView(m_linee).sliced(r.inizio + inizio, fine - inizio);
    if (!(r.raddoppiate & (1u << colonna)))
        return fromCp1252(scritta);
    QByteArray cella = scritta.toByteArray();
    cella.replace("\"\"", "\"");
    return fromCp1252(cella);
}

QByteArrayView GrigliaEsportazione::lineaVuota()
{
    static const QByteArray vuota = QByteArray(kColonne - 1, ',') + "\r\n";
    return vuota;
}

QByteArrayView GrigliaEsportazione::lineaCsv(int riga) const
{
    if (riga < 0 || size_t(riga) >= m_piene.size())
        return lineaVuota();
    const Riga& r = m_piene[size_t(riga)];
    return QByteArrayView(m_linee).sliced(r.inizio, r.fine[kColonne - 1] + 2);
}

void GrigliaEsportazione::impostaLarghezza(int colonna, int pixel)
{
    if (colonna >= 0 && colonna < kColonne)
        m_larghezze[size_t(colonna)] = pixel;
}

// The largest line: a number of up to 10 digits, sixteen fields filling their slots, every character a doubled
// double quote, the quotes and commas around them, CR LF.
constexpr qsizetype kMassimaLinea = 16 + 2 * qsizetype(sizeof(TSchedaContatto)) + 4 * 17;

void GrigliaEsportazione::aggiungiRiga(const std::array<QByteArrayView, kColonne>& celle)
{
    char linea[kMassimaLinea];
    char* p = linea;
    Riga riga;
    riga.inizio = m_linee.size();
    for (size_t k = 0; k < celle.size(); ++k) {
        if (k > 0)
            *p++ = ',';
        const EsportazioneCsv::Forma forma = EsportazioneCsv::scriviCella(celle[k], p);
        p += forma.byte;
        riga.fine[k] = quint16(p - linea);
        if (forma.virgolettata)
            riga.virgolettate |= 1u << k;
        if (forma.raddoppiata)
            riga.raddoppiate |= 1u << k;
    }
    *p++ = '\r';
    *p++ = '\n';
    m_linee.append(linea, p - linea);
    m_piene.push_back(riga);
}

GrigliaEsportazione::Esito GrigliaEsportazione::riempi(const QString& appDir, Vista vista)
{
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        return Esito::Interrotta;
    const qint64 schede = archivio.recordCount();
    if (schede <= 0)
        return Esito::Vuota;
    const Disposizione& colonne = disposizione(vista);

    std::array<QByteArray, kColonne> captions;
    std::array<QByteArrayView, kColonne> celle;
    for (size_t k = 1; k < kColonne; ++k) {
        captions[k] = toCp1252(QString::fromUtf8(colonne[k - 1].caption));
        celle[k] = captions[k];
    }
    m_piene.clear();
    m_linee.clear();
    aggiungiRiga(celle);
    m_righe = int(std::min<qint64>(schede, std::numeric_limits<int>::max() - 1)) + 1;

    char numero[16];
    TSchedaContatto scheda;
    int k = 0;
    for (int i = 1; i < m_righe; ++i) {
        if (!archivio.read(scheda)) {
            m_piene.shrink_to_fit();
            m_linee.squeeze();
            return Esito::Interrotta;
        }
        if (!passa(scheda, vista))
            continue;
        if (m_piene.capacity() == 1) {
            m_piene.reserve(vista == Vista::Tutti ? size_t(m_righe) : size_t(m_righe) / 4 + 1);
            m_linee.reserve(qsizetype(m_piene.capacity()) * 256);
        }
        ++k;
        celle[0] = QByteArrayView(numero, std::to_chars(numero, numero + sizeof numero, k).ptr - numero);
        for (size_t c = 1; c < kColonne; ++c)
            celle[c] = TrimByte(byteCampo(scheda, Campo(colonne[c - 1].campo)));
        aggiungiRiga(celle);
    }
    m_piene.shrink_to_fit();
    // Copying the block costs more than the little room a good guess leaves over.
    if (m_linee.capacity() > m_linee.size() + m_linee.size() / 4)
        m_linee.squeeze();
    archivio.close();

    m_larghezze[0] = kLarghezzaNumero;
    for (size_t k = 1; k < kColonne; ++k)
        m_larghezze[k] = colonne[k - 1].larghezza;
    return Esito::Riempita;
}
