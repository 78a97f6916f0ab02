#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <vector>

// The table of the export window, which both exports write: 17 columns by 1 + N rows of texts. Row 0 holds the
// captions of columns 1 to 16 (its cell in column 0 stays empty), column 0 the running number of each card
// shown, columns 1 to 16 the trimmed fields in the order of the view's layout. A filtered view leaves the rows
// after its last card empty, so the grid keeps one row per card of the archive.
//
// The filled rows are kept as the lines of the CSV file, back to back in one block (Windows-1252 bytes, the
// archive's own, each cell in its bare or quoted form), with the end of every cell alongside; the empty rows after
// the last card shown are not kept at all. So 100,000 cards take about a quarter of the archive's size, the CSV
// export writes the block as it is, and only the cells on screen are ever decoded.
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
    QString testo(int colonna, int riga) const;
    // The row's CSV line, CR LF included; an empty row is 16 commas.
    QByteArrayView lineaCsv(int riga) const;
    // The lines of rows 0 to righePiene() - 1 in one piece; the rows after them are empty.
    QByteArrayView lineePiene() const { return m_linee; }
    int righePiene() const { return int(m_piene.size()); }
    static QByteArrayView lineaVuota();

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
        qsizetype inizio = 0; // in m_linee
        // Where each cell's written form ends (the comma after it, or the CR), from the start of the line.
        std::array<quint16, kColonne> fine{};
        // Cells in the quoted form, and those of them whose double quotes were doubled, by bit.
        quint32 virgolettate = 0;
        quint32 raddoppiate = 0;
    };

    void aggiungiRiga(const std::array<QByteArrayView, kColonne>& celle);

    int m_righe = kRigheIniziali;
    // m_piene[0] is row 0; the rows from m_piene.size() to m_righe - 1 are empty.
    std::vector<Riga> m_piene;
    QByteArray m_linee;
    std::array<int, kColonne> m_larghezze;
};
