#include "export/EsportazioneCsv.h"

#include "archive/Cp1252.h"
#include "export/GrigliaEsportazione.h"

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>

namespace {

bool daVirgolettare(QStringView cella)
{
    for (QChar c : cella) {
        const char16_t u = c.unicode();
        if ((u >= 1 && u <= 32) || u == u'"' || u == u',')
            return true;
    }
    return false;
}

// `out` has room for the worst case, every character a doubled quote, plus the two quotes.
char* scriviCella(QStringView cella, char* out)
{
    if (!daVirgolettare(cella))
        return out + toCp1252(cella, out);
    *out++ = '"';
    qsizetype da = 0;
    for (qsizetype i = 0; i < cella.size(); ++i) {
        if (cella[i] == u'"') {
            out += toCp1252(cella.sliced(da, i + 1 - da), out);
            *out++ = '"';
            da = i + 1;
        }
    }
    out += toCp1252(cella.sliced(da), out);
    *out++ = '"';
    return out;
}

} // namespace

QByteArray EsportazioneCsv::testo(const GrigliaEsportazione& griglia)
{
    const int colonne = griglia.colonne();
    qsizetype massimo = 0;
    for (int r = 0; r < griglia.righe(); ++r) {
        massimo += colonne + 1;
        for (int c = 0; c < colonne; ++c)
            massimo += 2 * griglia.cella(c, r).size() + 2;
    }
    QByteArray out(massimo, Qt::Uninitialized);
    char* p = out.data();
    for (int r = 0; r < griglia.righe(); ++r) {
        for (int c = 0; c < colonne; ++c) {
            if (c > 0)
                *p++ = ',';
            p = scriviCella(griglia.cella(c, r), p);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - out.data());
    return out;
}

bool EsportazioneCsv::scrivi(const GrigliaEsportazione& griglia, QIODevice& dispositivo, QString* errore)
{
    const QByteArray byte = testo(griglia);
    // A device may take fewer bytes than offered without an error; only a refusal says why.
    const char* p = byte.constData();
    qint64 resto = byte.size();
    bool ok = true;
    while (ok && resto > 0) {
        const qint64 n = dispositivo.write(p, resto);
        ok = n > 0;
        if (ok) {
            p += n;
            resto -= n;
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
