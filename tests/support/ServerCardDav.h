#pragma once

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QXmlStreamReader>

#include <memory>

// A real CardDAV server of the machine (Debian's radicale or xandikos) on a free port of 127.0.0.1, serving a
// throw-away folder, with one empty address book; stopped and removed with the object. Radicale asks for the
// password of `kUtente`; xandikos has no accounts.
class ServerCardDav
{
public:
    enum class Tipo { Radicale, Xandikos };
    static constexpr const char* kUtente = "utente";
    static constexpr const char* kPassword = "segreta";

    explicit ServerCardDav(Tipo tipo) : m_tipo(tipo) {}
    ~ServerCardDav() { ferma(); }

    static QString programma(Tipo tipo)
    {
        return QStandardPaths::findExecutable(tipo == Tipo::Radicale ? QStringLiteral("radicale")
                                                                     : QStringLiteral("xandikos"));
    }

    // Starts the server, or restarts it on the same port and data after ferma(); false, with `errore` set,
    // when it does not answer.
    bool avvia()
    {
        if (m_porta == 0) {
            QTcpServer libero;
            if (!libero.listen(QHostAddress::LocalHost, 0))
                return fallito(QStringLiteral("no free port"));
            m_porta = libero.serverPort();
        }
        const QString porta = QString::number(m_porta);
        m_processo = std::make_unique<QProcess>();
        m_processo->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("HOME"), m_dir.path()); // nothing of the server lands in the real home
        m_processo->setProcessEnvironment(ambiente);
        if (m_tipo == Tipo::Radicale) {
            QFile utenti(m_dir.filePath(QStringLiteral("utenti")));
            QFile config(m_dir.filePath(QStringLiteral("config")));
            if (!utenti.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly))
                return fallito(QStringLiteral("cannot write the configuration"));
            utenti.write(QByteArray(kUtente) + ':' + kPassword + '\n');
            config.write("[server]\nhosts = 127.0.0.1:" + porta.toUtf8() +
                         "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + utenti.fileName().toUtf8() +
                         "\nhtpasswd_encryption = plain\ndelay = 0\n[storage]\nfilesystem_folder = " +
                         m_dir.filePath(QStringLiteral("dati")).toUtf8() + "\n[logging]\nlevel = warning\n");
            utenti.close();
            config.close();
            m_processo->start(programma(m_tipo), {QStringLiteral("-C"), config.fileName()});
        } else {
            m_processo->start(programma(m_tipo), {QStringLiteral("-d"), m_dir.filePath(QStringLiteral("dati")),
                                                  QStringLiteral("--defaults"), QStringLiteral("-l"),
                                                  QStringLiteral("127.0.0.1"), QStringLiteral("-p"), porta});
        }
        if (!m_processo->waitForStarted(10000))
            return fallito(QStringLiteral("the server did not start"));
        for (int i = 0; i < 200; ++i) {
            QTcpSocket prova;
            prova.connectToHost(QHostAddress::LocalHost, m_porta);
            if (prova.waitForConnected(100))
                return true;
            if (m_processo->state() != QProcess::Running)
                return fallito(QString::fromUtf8(m_processo->readAll()));
            QThread::msleep(50);
        }
        return fallito(QStringLiteral("the server does not answer"));
    }

    // Kills it, as a server that goes away mid-synchronisation.
    void ferma()
    {
        if (m_processo && m_processo->state() != QProcess::NotRunning) {
            m_processo->kill();
            m_processo->waitForFinished(5000);
        }
        m_processo.reset();
    }

    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_porta)); }
    // A new, empty address book for one test.
    QUrl nuovaRubrica(const QString& nome)
    {
        const QUrl url = base().resolved(
            QUrl((m_tipo == Tipo::Radicale ? QStringLiteral("/utente/%1/") : QStringLiteral("/user/contacts/%1/"))
                     .arg(nome)));
        const QByteArray mkcol = "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:mkcol xmlns:d=\"DAV:\" "
                                 "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop><d:resourcetype>"
                                 "<d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
                                 nome.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>";
        if (http("MKCOL", url, mkcol, nullptr, {{"Content-Type", "application/xml"}}) != QNetworkReply::NoError)
            return {};
        return url;
    }
    QString utente() const { return m_tipo == Tipo::Radicale ? QString::fromLatin1(kUtente) : QString(); }
    QString password() const { return m_tipo == Tipo::Radicale ? QString::fromLatin1(kPassword) : QString(); }
    QString errore() const { return m_errore; }

    // Another client's plain HTTP request, for the tests' changes on the server side.
    QNetworkReply::NetworkError http(const QByteArray& metodo, const QUrl& url, const QByteArray& corpo = {},
                                     QByteArray* risposta = nullptr,
                                     const QList<std::pair<QByteArray, QByteArray>>& intestazioni = {})
    {
        QNetworkAccessManager rete;
        QNetworkRequest req(url);
        if (m_tipo == Tipo::Radicale)
            req.setRawHeader("Authorization", "Basic " + QByteArray(QByteArray(kUtente) + ':' + kPassword).toBase64());
        for (const auto& [nome, valore] : intestazioni)
            req.setRawHeader(nome, valore);
        QNetworkReply* reply = rete.sendCustomRequest(req, metodo, corpo);
        QEventLoop attesa;
        QObject::connect(reply, &QNetworkReply::finished, &attesa, &QEventLoop::quit);
        attesa.exec();
        if (risposta)
            *risposta = reply->readAll();
        const auto esito = reply->error();
        reply->deleteLater();
        return esito;
    }

    // Every contact of an address book, as another client sees it: its address and its vCard, with the lines
    // unfolded (one addressbook-query).
    QMap<QUrl, QByteArray> contatti(const QUrl& rubrica)
    {
        QByteArray risposta;
        http("REPORT", rubrica,
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><c:addressbook-query xmlns:d=\"DAV:\" "
             "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop><c:address-data/></d:prop></c:addressbook-query>",
             &risposta, {{"Depth", "1"}, {"Content-Type", "application/xml"}});
        QMap<QUrl, QByteArray> out;
        QXmlStreamReader xml(risposta);
        QUrl url;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"href")
                url = rubrica.resolved(QUrl(xml.readElementText()));
            else if (const QByteArray vcard =
                         xml.name() == u"address-data" ? xml.readElementText().toUtf8() : QByteArray();
                     !vcard.isEmpty()) // xandikos answers for the address book itself too, with no data
                out[url] = QByteArray(vcard).replace("\r\n ", "").replace("\n ", "");
        }
        return out;
    }

    // Another client adds a line to the contact whose vCard holds `cerca`; false when there is none.
    bool aggiungiRiga(const QUrl& rubrica, const QByteArray& cerca, const QByteArray& riga)
    {
        const QMap<QUrl, QByteArray> tutti = contatti(rubrica);
        for (auto it = tutti.cbegin(); it != tutti.cend(); ++it) {
            if (!it->contains(cerca))
                continue;
            QByteArray vcard = *it;
            vcard.replace("END:VCARD", QByteArray(riga + "\r\nEND:VCARD"));
            return http("PUT", it.key(), vcard, nullptr, {{"Content-Type", "text/vcard"}}) == QNetworkReply::NoError;
        }
        return false;
    }

private:
    bool fallito(const QString& motivo)
    {
        m_errore = motivo;
        return false;
    }

    Tipo m_tipo;
    QTemporaryDir m_dir;
    quint16 m_porta = 0;
    std::unique_ptr<QProcess> m_processo;
    QString m_errore;
};
