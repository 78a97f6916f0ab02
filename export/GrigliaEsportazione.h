#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

// The table of the export window, which both exports write: 17 columns by 1 + N rows of texts. Row 0 holds the
// captions of columns 1 to 16 (its cell in column 0 stays empty), column 0 the running number of each card
// shown, columns 1 to 16 the trimmed fields in the order of the view's layout. A filtered view leaves the rows
// after its last card empty, so the grid keeps one row per card of the archive.
//
// Each filled row is kept as one string, its 17 cells back to back with their ends alongside, and the empty rows
// after the last card shown are not kept at all: 100,000 cards take a third of the archive's size, and every cell
// can be read as a view without a copy.
class GrigliaEsportazione
{
public:
    static constexpr int kColonne = 17;
    static constexpr int kRigheIniziali = 10;
    static constexpr int kLarghezzaIniziale = 100;

    enum class Vista { Persone, Aziende, Email, Tutti };

    enum class Esito {
        Riempita,    // every step done, the layout's widths set
        Vuota,       // no card in the archive: the grid is as it was
        Interrotta,  // the archive could not be opened or read: the grid keeps what was written so far
    };

    GrigliaEsportazione();

    int colonne() const { return kColonne; }
    int righe() const { return m_righe; }
    // Empty outside the grid.
    QStringView cella(int colonna, int riga) const;
    QString testo(int colonna, int riga) const { return cella(colonna, riga).toString(); }

    int larghezza(int colonna) const { return m_larghezze[colonna]; }
    // The user dragged a column border; the next fill puts the layout's width back.
    void impostaLarghezza(int colonna, int pixel);

    // Reads the archive in `appDir` for reading only, so a write-protected archive can still be exported.
    Esito riempi(const QString& appDir, Vista vista);

    // The layout of a view, for column 1 to 16: the field shown, its caption and its width in pixels.
    struct Colonna
    {
        int campo;
        const char* caption; // UTF-8
        int larghezza;
    };
    using Disposizione = std::array<Colonna, kColonne - 1>;
    static const Disposizione& disposizione(Vista vista);
    static constexpr int kLarghezzaNumero = 50;

private:
    struct Riga
    {
        QString testo;
        std::array<quint16, kColonne> fine{};
    };

    static Riga rigaDa(const std::array<QStringView, kColonne>& celle);

    int m_righe = kRigheIniziali;
    // m_piene[0] is row 0; the rows from m_piene.size() to m_righe - 1 are empty.
    std::vector<Riga> m_piene;
    std::array<int, kColonne> m_larghezze;
};
