#include "search/ListaContatti.h"

#include "archive/ArchiveFile.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace {

// Case folding one character at a time, with the characters a record can hold looked up in a table.
QChar piega(QChar c)
{
    static const std::array<char16_t, 256> tabella = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = QChar::toCaseFolded(char16_t(i));
        return t;
    }();
    return c.unicode() < 256 ? QChar(tabella[c.unicode()]) : c.toCaseFolded();
}

QChar minuscolaAZ(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
}

} // namespace

bool ListaContatti::leggi(const QString& appDir)
{
    svuota();
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Apertura::Lettura))
        return false;
    const qint64 totale = archivio.recordCount();
    QString grezze(totale * kLarghezza, Qt::Uninitialized);
    TSchedaContatto scheda;
    for (qint64 i = 0; i < totale; ++i) {
        if (!archivio.read(scheda))
            return false;
        scriviRigaLista(scheda, grezze.data() + i * kLarghezza);
    }
    if (!archivio.close())
        return false;
    ordina(grezze, int(totale));
    return true;
}

ListaContatti ListaContatti::daSchede(const QList<TSchedaContatto>& schede)
{
    QString grezze(schede.size() * kLarghezza, Qt::Uninitialized);
    for (qsizetype i = 0; i < schede.size(); ++i)
        scriviRigaLista(schede[i], grezze.data() + i * kLarghezza);
    ListaContatti lista;
    lista.ordina(grezze, int(schede.size()));
    return lista;
}

void ListaContatti::svuota()
{
    m_righe.clear();
    m_minuscole.clear();
    m_count = 0;
}

void ListaContatti::ordina(const QString& grezze, int count)
{
    // Folded once, the lines compare as plain text; comparing them case-insensitively inside the sort
    // would fold every character at every one of the n log n comparisons.
    QString piegate(grezze.size(), Qt::Uninitialized);
    std::transform(grezze.cbegin(), grezze.cend(), piegate.begin(), piega);
    auto chiave = [&piegate](int i) { return QStringView(piegate).sliced(qsizetype(i) * kLarghezza, kLarghezza); };
    std::vector<int> ordine(count);
    std::iota(ordine.begin(), ordine.end(), 0);
    // Lines equal but for letter case keep the order of the file.
    std::stable_sort(ordine.begin(), ordine.end(), [&](int a, int b) { return chiave(a) < chiave(b); });
    piegate = QString();

    m_righe = QString(grezze.size(), Qt::Uninitialized);
    QChar* out = m_righe.data();
    for (int i : ordine) {
        std::copy_n(grezze.constData() + qsizetype(i) * kLarghezza, kLarghezza, out);
        out += kLarghezza;
    }
    m_minuscole = QString(m_righe.size(), Qt::Uninitialized);
    std::transform(m_righe.cbegin(), m_righe.cend(), m_minuscole.begin(), minuscolaAZ);
    m_count = count;
}

int ListaContatti::primaConChiave(QStringView chiave, int daRiga, int aRiga) const
{
    if (chiave.isEmpty() || chiave.size() > kLarghezza || daRiga >= aRiga)
        return -1;
    // One search through the buffer from line `daRiga` on; a match that runs across the end of a line into the
    // next one is not a match, and the search goes on from its next character.
    const QStringView tutte = QStringView(m_minuscole).first(qsizetype(aRiga) * kLarghezza);
    qsizetype da = qsizetype(daRiga) * kLarghezza;
    while (true) {
        const qsizetype pos = tutte.indexOf(chiave, da);
        if (pos < 0)
            return -1;
        if (pos % kLarghezza + chiave.size() <= kLarghezza)
            return int(pos / kLarghezza);
        da = pos + 1;
    }
}
