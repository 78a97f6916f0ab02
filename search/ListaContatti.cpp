#include "search/ListaContatti.h"

#include "archive/ArchiveFile.h"
#include "archive/Cp1252.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {

// Each byte of the code page as its character folded to one letter case, for the order of the list.
const std::array<char16_t, 256>& piegatura()
{
    static const std::array<char16_t, 256> tabella = [] {
        std::array<char16_t, 256> t{};
        QByteArray tutti(256, '\0');
        for (int i = 0; i < 256; ++i)
            tutti[i] = char(i);
        const QString testo = fromCp1252(tutti);
        for (int i = 0; i < 256; ++i)
            t[i] = testo.at(i).toCaseFolded().unicode();
        return t;
    }();
    return tabella;
}

char minuscolaAZ(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

} // namespace

bool ListaContatti::leggi(const QString& appDir)
{
    svuota();
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        return false;
    const qint64 totale = archivio.recordCount();
    QByteArray righe(totale * kLarghezza, Qt::Uninitialized);
    TSchedaContatto scheda;
    for (qint64 i = 0; i < totale; ++i) {
        if (!archivio.read(scheda))
            return false;
        scriviRigaListaCp1252(scheda, righe.data() + i * kLarghezza);
    }
    if (!archivio.close())
        return false;
    ordina(std::move(righe), int(totale));
    return true;
}

ListaContatti ListaContatti::daSchede(const QList<TSchedaContatto>& schede)
{
    QByteArray righe(schede.size() * kLarghezza, Qt::Uninitialized);
    for (qsizetype i = 0; i < schede.size(); ++i)
        scriviRigaListaCp1252(schede[i], righe.data() + i * kLarghezza);
    ListaContatti lista;
    lista.ordina(std::move(righe), int(schede.size()));
    return lista;
}

void ListaContatti::svuota()
{
    m_righe.clear();
    m_ordine.clear();
    m_minuscole.clear();
    m_count = 0;
}

QString ListaContatti::riga(int i) const
{
    return fromCp1252(QByteArrayView(m_righe).sliced(qsizetype(m_ordine[i]) * kLarghezza, kLarghezza));
}

void ListaContatti::ordina(QByteArray righe, int count)
{
    m_righe = std::move(righe);
    m_ordine.resize(count);
    std::iota(m_ordine.begin(), m_ordine.end(), 0);
    // Lines are compared character by character, folding only where two characters differ: the lines of an
    // archive share long stretches (blank columns, the labels), and neither a folded copy of 100,000 lines
    // nor a fold of every character at each of the n log n comparisons is needed.
    const auto& piega = piegatura();
    const auto* base = reinterpret_cast<const unsigned char*>(m_righe.constData());
    auto minore = [base, &piega](int a, int b) {
        const unsigned char* pa = base + qsizetype(a) * kLarghezza;
        const unsigned char* pb = base + qsizetype(b) * kLarghezza;
        for (int k = 0; k < kLarghezza; ++k) {
            if (pa[k] != pb[k] && piega[pa[k]] != piega[pb[k]])
                return piega[pa[k]] < piega[pb[k]];
        }
        return false;
    };
    // Lines equal but for letter case keep the order of the file.
    std::stable_sort(m_ordine.begin(), m_ordine.end(), minore);

    m_minuscole = QByteArray(m_righe.size(), Qt::Uninitialized);
    char* out = m_minuscole.data();
    for (int i : m_ordine) {
        const char* riga = m_righe.constData() + qsizetype(i) * kLarghezza;
        out = std::transform(riga, riga + kLarghezza, out, minuscolaAZ);
    }
    m_count = count;
}

int ListaContatti::primaConChiave(QStringView chiave, int daRiga, int aRiga) const
{
    if (chiave.isEmpty() || chiave.size() > kLarghezza || daRiga >= aRiga)
        return -1;
    // The lines hold only what the code page can write: a key with any other character is in none of them.
    const QByteArray byte = toCp1252(chiave);
    if (byte.size() != chiave.size() || fromCp1252(byte) != chiave)
        return -1;
    // One search through the buffer from line `daRiga` on; a match that runs across the end of a line into the
    // next one is not a match, and the search goes on from its next character.
    const QByteArrayView tutte = QByteArrayView(m_minuscole).first(qsizetype(aRiga) * kLarghezza);
    qsizetype da = qsizetype(daRiga) * kLarghezza;
    while (true) {
        const qsizetype pos = tutte.indexOf(byte, da);
        if (pos < 0)
            return -1;
        if (pos % kLarghezza + byte.size() <= kLarghezza)
            return int(pos / kLarghezza);
        da = pos + 1;
    }
}
