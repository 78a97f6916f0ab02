#include "export/EsportazioneCsv.h"

#include "export/GrigliaEsportazione.h"

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>

#include <cstring>

namespace {

bool daVirgolettare(QByteArrayView cella)
{
    for (char b : cella) {
        const auto u = static_cast<unsigned char>(b);
        if ((u >= 1 && u <= 32) || u == '"' || u == ',')
            return true;
    }
    return false;
}

// The empty rows go out in pieces of about this size.
constexpr qsizetype kPezzo = 1 << 20;

bool scriviTutto(QIODevice& dispositivo, QByteArrayView byte)
{
    // A device may take fewer bytes than offered without an error; only a refusal says why.
    const char* p = byte.constData();
    qint64 resto = byte.size();
    while (resto > 0) {
        const qint64 n = dispositivo.write(p, resto);
        if (n <= 0)
            return false;
        p += n;
        resto -= n;
    }
    return true;
}

} // namespace

EsportazioneCsv::Forma EsportazioneCsv::scriviCella(QByteArrayView cella, char* out)
{
    Forma forma;
    if (!daVirgolettare(cella)) {
        if (!cella.isEmpty()) // an empty cell may have no data at all, and memcpy takes no null pointer
            std::memcpy(out, cella.data(), size_t(cella.size()));
        forma.byte = cella.size();
        return forma;
    }
    forma.virgolettata = true;
    char* p = out;
    *p++ = '"';
    for (char b : cella) {
        *p++ = b;
        if (b == '"') {
            *p++ = '"';
            forma.raddoppiata = true;
        }
    }
    *p++ = '"';
    forma.byte = p - out;
    return forma;
}

QByteArray EsportazioneCsv::testo(const GrigliaEsportazione& griglia)
{
    QByteArray out = griglia.lineePiene().toByteArray();
    for (int r = griglia.righePiene(); r < griglia.righe(); ++r)
        out.append(GrigliaEsportazione::lineaVuota());
    return out;
}

bool EsportazioneCsv::scrivi(const GrigliaEsportazione& griglia, QIODevice& dispositivo, QString* errore)
{
    // The filled rows lie in one block already; the empty rows after them follow in pieces.
    bool ok = scriviTutto(dispositivo, griglia.lineePiene());
    QByteArray pezzo;
    for (int r = griglia.righePiene(); ok && r < griglia.righe(); ++r) {
        pezzo.append(GrigliaEsportazione::lineaVuota());
        if (pezzo.size() >= kPezzo || r + 1 == griglia.righe()) {
            ok = scriviTutto(dispositivo, pezzo);
            pezzo.resize(0);
        }
    }
    // A file's own buffer may hold back the failure of the last bytes until it is emptied.
    if (auto* file = qobject_cast<QFileDevice*>(&dispositivo); ok && file)
        ok = file->flush();
    if (ok)
        return true;
    if (errore)
        *errore = dispositivo.errorString();
    return false;
}

bool EsportazioneCsv::salva(const GrigliaEsportazione& griglia, const QString& percorso, QString* errore)
{
    QSaveFile file(percorso);
    // Writing straight into the file when its folder allows no temporary file would leave it half-written on a
    // failure; better to fail with the folder's error.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errore)
            *errore = file.errorString();
        return false;
    }
    if (!scrivi(griglia, file, errore)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errore)
            *errore = file.errorString();
        return false;
    }
    return true;
}

QString EsportazioneCsv::conEstensione(const QString& percorso)
{
    const QString estensione = QStringLiteral(".csv");
    const qsizetype punto = percorso.lastIndexOf(u'.');
    if (punto >= 0 && QStringView(percorso).sliced(punto) == estensione)
        return percorso;
    return percorso + estensione;
}
