#pragma once

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <memory>

#include "ProcessoDiProva.h"

// The misbehaving CardDAV server of tests/support/server_ostile.py, for faults real servers do not make: started
// once per test program on a free port of 127.0.0.1, its mode switched per case (see the list in the script).
// It stops with the object, and by itself when this process dies (its standard input closes). The test's
// target defines CARNETTO_SERVER_OSTILE as the script's path.
class ServerOstile
{
public:
    static constexpr const char* kUtente = "utente";
    static constexpr const char* kPassword = "segreta";

    ~ServerOstile() { ferma(); }

    static QString python()
    {
        return ProcessoDiProva::disponibile(QStringLiteral("python3")) ? QStringLiteral("python3") : QString();
    }

    bool avvia(int durataSecondi = 600)
    {
        m_processo = std::make_unique<ProcessoDiProva>();
        m_processo->start(python(),
                          {QStringLiteral(CARNETTO_SERVER_OSTILE), QStringLiteral("--durata"),
                           QString::number(durataSecondi)},
                          {}, {}, false);
        if (!m_processo->waitForStarted(10000))
            return false;
        while (!m_processo->canReadLine()) {
            if (!m_processo->waitForReadyRead(10000))
                return false;
        }
        m_porta = m_processo->readLine().trimmed().toUShort();
        return m_porta != 0;
    }
    void ferma()
    {
        if (!m_processo)
            return;
        m_processo->closeWriteChannel();
        if (!m_processo->waitForFinished(3000)) {
            m_processo->kill();
            m_processo->waitForFinished(3000);
        }
        m_processo.reset();
    }

    quint16 porta() const { return m_porta; }
    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_porta)); }
    QUrl rubrica() const { return base().resolved(QUrl(QStringLiteral("/ab/"))); }

    // Empties the address book and the logs, and turns every mode off.
    bool azzera() { return controllo("/_azzera") == 204; }
    // Turns these modes on (space-separated names), the others off.
    bool modo(const QByteArray& modi) { return controllo("/_modo", modi) == 204; }
    // "METHOD path" per request received so far.
    QList<QByteArray> richieste() { return testo("/_richieste").split('\n'); }
    // The Authorization headers the second listener (redirect-altra-porta's target) was sent.
    QList<QByteArray> autorizzazioniAltrove()
    {
        const QByteArray t = testo("/_altrove");
        return t.isEmpty() ? QList<QByteArray>{} : t.split('\n');
    }
    // Puts a contact straight into the address book, as another client would, under this file name (with Basic
    // authentication: before turning `digest` on).
    bool metti(const QString& nome, const QByteArray& vcard)
    {
        const QUrl url = rubrica().resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(nome))));
        return scambia("PUT", url, vcard, true) / 100 == 2;
    }

private:
    int controllo(const char* percorso, const QByteArray& corpo = {})
    {
        return scambia("POST", base().resolved(QUrl(QString::fromLatin1(percorso))), corpo, false);
    }
    QByteArray testo(const char* percorso)
    {
        QByteArray risposta;
        scambia("GET", base().resolved(QUrl(QString::fromLatin1(percorso))), {}, false, &risposta);
        return risposta;
    }
    int scambia(const QByteArray& metodo, const QUrl& url, const QByteArray& corpo, bool credenziali,
                QByteArray* risposta = nullptr)
    {
        QNetworkAccessManager rete;
        QNetworkRequest req(url);
        req.setTransferTimeout(10000);
        if (credenziali)
            req.setRawHeader("Authorization", "Basic " + QByteArray(QByteArray(kUtente) + ':' + kPassword).toBase64());
        QNetworkReply* reply = rete.sendCustomRequest(req, metodo, corpo);
        QEventLoop attesa;
        QObject::connect(reply, &QNetworkReply::finished, &attesa, &QEventLoop::quit);
        if (!reply->isFinished())
            attesa.exec();
        if (risposta)
            *risposta = reply->readAll();
        const int stato = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        reply->deleteLater();
        return stato;
    }

    std::unique_ptr<ProcessoDiProva> m_processo;
    quint16 m_porta = 0;
};
