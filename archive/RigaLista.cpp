#include "archive/RigaLista.h"

#include "archive/CampiScheda.h"
#include "archive/Cp1252.h"
#include "archive/TestiScheda.h"
#include "archive/Trim.h"

#include <algorithm>
#include <array>

namespace {

// One piece of the line: a field as a column of the given width, or a literal label.
struct Pezzo
{
    int campo; // -1 for a label
    int larghezza;
    const char* etichetta;
};

constexpr Pezzo kPezzi[] = {
    {Cognome, 20, nullptr}, {-1, 2, "  "},          {Nome, 20, nullptr},    {-1, 2, "  "},      {Azienda, 20, nullptr},
    {-1, 7, "   CF: "},     {CodFisc, 16, nullptr}, {-1, 10, "   P.IVA: "}, {Iva, 11, nullptr}, {-1, 2, "  "},
    {Citta, 25, nullptr},   {-1, 7, "  Tel. "},     {Tel, 20, nullptr},
};

constexpr int lunghezzaPezzi()
{
    int n = 0;
    for (const Pezzo& p : kPezzi)
        n += p.larghezza;
    return n;
}
static_assert(lunghezzaPezzi() == kLunghezzaRigaLista);

// Every byte of the code page decodes to exactly one character, so a column cut by bytes is cut by
// characters. The table comes from the one codec, so the line and the card window always agree.
const std::array<QChar, 256>& decodifica()
{
    static const std::array<QChar, 256> tabella = [] {
        std::array<QChar, 256> t;
        QByteArray tutti(256, '\0');
        for (int i = 0; i < 256; ++i)
            tutti[i] = char(i);
        const QString testo = fromCp1252(tutti);
        Q_ASSERT(testo.size() == 256);
        for (int i = 0; i < 256; ++i)
            t[i] = testo.at(i);
        return t;
    }();
    return tabella;
}

} // namespace

void scriviRigaListaCp1252(const TSchedaContatto& scheda, char* out)
{
    for (const Pezzo& p : kPezzi) {
        if (p.campo < 0) {
            std::copy_n(p.etichetta, p.larghezza, out);
        } else {
            const QByteArrayView testo = TrimByte(byteCampo(scheda, Campo(p.campo)));
            const int n = std::min<int>(testo.size(), p.larghezza);
            std::copy_n(testo.data(), n, out);
            std::fill(out + n, out + p.larghezza, ' ');
        }
        out += p.larghezza;
    }
}

void scriviRigaLista(const TSchedaContatto& scheda, QChar* out)
{
    char byte[kLunghezzaRigaLista];
    scriviRigaListaCp1252(scheda, byte);
    const auto& tabella = decodifica();
    for (int i = 0; i < kLunghezzaRigaLista; ++i)
        out[i] = tabella[static_cast<unsigned char>(byte[i])];
}

QString rigaLista(const TSchedaContatto& scheda)
{
    QString riga(kLunghezzaRigaLista, Qt::Uninitialized);
    scriviRigaLista(scheda, riga.data());
    return riga;
}
