#include "sync/AutenticazioneHttp.h"

#include <QCryptographicHash>

namespace {

bool spazio(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool carattereToken(char c)
{
    return c > ' ' && c < 127 && !QByteArrayView("\"(),/:;<=>?@[\\]{}").contains(c);
}

// The hash an algorithm names, or none for one this client does not know.
bool hashDi(const QByteArray& algoritmo, QCryptographicHash::Algorithm* hash, bool* sess)
{
    QByteArray a = algoritmo.toUpper();
    *sess = a.endsWith("-SESS");
    if (*sess)
        a.chop(5);
    if (a.isEmpty() || a == "MD5")
        *hash = QCryptographicHash::Md5;
    else if (a == "SHA-256")
        *hash = QCryptographicHash::Sha256;
    else
        return false;
    return true;
}

QByteArray citato(const QByteArray& testo)
{
    QByteArray out = testo;
    out.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + out + '"';
}

} // namespace

QByteArray SfidaHttp::parametro(const QByteArray& nome) const
{
    for (const auto& [n, v] : parametri) {
        if (n == nome)
            return v;
    }
    return {};
}

QList<SfidaHttp> leggiSfide(const QList<QByteArray>& intestazioni)
{
    QList<SfidaHttp> sfide;
    for (const QByteArray& testo : intestazioni) {
        qsizetype i = 0;
        const qsizetype n = testo.size();
        const auto salta = [&] {
            while (i < n && (spazio(testo[i]) || testo[i] == ','))
                ++i;
        };
        while (true) {
            salta();
            if (i >= n)
                break;
            const qsizetype inizio = i;
            while (i < n && carattereToken(testo[i]))
                ++i;
            if (i == inizio) { // garbage: give up on this header
                break;
            }
            const QByteArray token = testo.mid(inizio, i - inizio).toLower();
            qsizetype j = i;
            while (j < n && spazio(testo[j]))
                ++j;
            if (j < n && testo[j] == '=' && !sfide.isEmpty() && (j + 1 >= n || testo[j + 1] != '=')) {
                // A parameter of the current challenge.
                i = j + 1;
                while (i < n && spazio(testo[i]))
                    ++i;
                QByteArray valore;
                if (i < n && testo[i] == '"') {
                    for (++i; i < n && testo[i] != '"'; ++i) {
                        if (testo[i] == '\\' && i + 1 < n)
                            ++i;
                        valore += testo[i];
                    }
                    ++i;
                } else {
                    while (i < n && carattereToken(testo[i]))
                        valore += testo[i++];
                }
                sfide.last().parametri.append({token, valore});
            } else {
                // A new challenge; a token68 after it (Basic's old form, Negotiate) is skipped.
                sfide.append(SfidaHttp{token, {}});
                while (i < n && spazio(testo[i]))
                    ++i;
                qsizetype k = i;
                while (k < n && (carattereToken(testo[k]) || testo[k] == '/' || testo[k] == '='))
                    ++k;
                if (k > i && testo.mid(i, k - i).endsWith('=') && (k >= n || testo[k] == ',' || spazio(testo[k])))
                    i = k;
            }
        }
    }
    return sfide;
}

bool sfidaDigestMigliore(const QList<SfidaHttp>& sfide, SfidaDigest* scelta)
{
    int migliore = -1;
    for (const SfidaHttp& s : sfide) {
        if (s.schema != "digest" || s.parametro("nonce").isEmpty())
            continue;
        QCryptographicHash::Algorithm hash;
        bool sess = false;
        const QByteArray algoritmo = s.parametro("algorithm");
        if (!hashDi(algoritmo, &hash, &sess))
            continue;
        bool qop = false;
        for (const QByteArray& q : s.parametro("qop").split(','))
            qop = qop || q.trimmed().toLower() == "auth";
        // With a qop the server must offer auth; auth-int alone cannot be answered for a stream.
        if (!qop && !s.parametro("qop").isEmpty())
            continue;
        // SHA-256 before MD5, the plain form before -sess, qop=auth before the old form.
        const int punti = (hash == QCryptographicHash::Sha256 ? 4 : 0) + (sess ? 0 : 2) + (qop ? 1 : 0);
        if (punti <= migliore)
            continue;
        migliore = punti;
        scelta->realm = s.parametro("realm");
        scelta->nonce = s.parametro("nonce");
        scelta->opaque = s.parametro("opaque");
        scelta->algoritmo = algoritmo.isEmpty() ? QByteArray("MD5") : algoritmo;
        scelta->qop = qop;
        scelta->stale = s.parametro("stale").toLower() == "true";
    }
    return migliore >= 0;
}

QByteArray calcoloDigest(const SfidaDigest& sfida, const QString& utente, const QString& password,
                         const QByteArray& metodo, const QByteArray& uri, quint32 nc, const QByteArray& cnonce)
{
    QCryptographicHash::Algorithm hash = QCryptographicHash::Md5;
    bool sess = false;
    hashDi(sfida.algoritmo, &hash, &sess);
    const auto H = [hash](const QByteArray& testo) { return QCryptographicHash::hash(testo, hash).toHex(); };
    QByteArray ha1 = H(utente.toUtf8() + ':' + sfida.realm + ':' + password.toUtf8());
    if (sess)
        ha1 = H(ha1 + ':' + sfida.nonce + ':' + cnonce);
    const QByteArray ha2 = H(metodo + ':' + uri);
    if (!sfida.qop)
        return H(ha1 + ':' + sfida.nonce + ':' + ha2);
    const QByteArray conto = QByteArray::number(nc, 16).rightJustified(8, '0');
    return H(ha1 + ':' + sfida.nonce + ':' + conto + ':' + cnonce + ":auth:" + ha2);
}

QByteArray rispostaDigest(const SfidaDigest& sfida, const QString& utente, const QString& password,
                          const QByteArray& metodo, const QByteArray& uri, quint32 nc, const QByteArray& cnonce)
{
    QByteArray out = "Digest username=" + citato(utente.toUtf8()) + ", realm=" + citato(sfida.realm) +
                     ", uri=" + citato(uri) + ", algorithm=" + sfida.algoritmo + ", nonce=" + citato(sfida.nonce);
    if (sfida.qop)
        out +=
            ", nc=" + QByteArray::number(nc, 16).rightJustified(8, '0') + ", cnonce=" + citato(cnonce) + ", qop=auth";
    out += ", response=" + citato(calcoloDigest(sfida, utente, password, metodo, uri, nc, cnonce));
    if (!sfida.opaque.isEmpty())
        out += ", opaque=" + citato(sfida.opaque);
    return out;
}
