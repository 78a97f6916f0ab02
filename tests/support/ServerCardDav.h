#pragma once

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslError>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QXmlStreamReader>

#include "ProcessoDiProva.h"

#include <memory>

// A real CardDAV server of the machine (Debian's radicale, xandikos, or sabre/dav under php's own web server)
// on a free port of 127.0.0.1, serving a throw-away folder, with one empty address book; stopped and removed
// with the object. Radicale and sabre/dav ask for the password of `kUtente` (sabre/dav with Basic, or with
// Digest only in SabreDigest); xandikos has no accounts. Radicale serves HTTPS with tls(certificate, key).
class ServerCardDav
{
public:
    enum class Tipo { Radicale, Xandikos, Sabre, SabreDigest };
    static constexpr const char* kUtente = "utente";
    static constexpr const char* kPassword = "segreta";

    explicit ServerCardDav(Tipo tipo) : m_tipo(tipo) {}
    ~ServerCardDav() { ferma(); }

    static QString programma(Tipo tipo)
    {
        const QString nome = tipo == Tipo::Radicale   ? QStringLiteral("radicale")
                             : tipo == Tipo::Xandikos ? QStringLiteral("xandikos")
                                                      : QStringLiteral("php");
        if (nome == u"php" && !ProcessoDiProva::esiste(QStringLiteral("/usr/share/php/Sabre/autoload.php")))
            return {};
        return ProcessoDiProva::disponibile(nome) ? nome : QString();
    }
    bool sabre() const { return m_tipo == Tipo::Sabre || m_tipo == Tipo::SabreDigest; }
    // The server lists changes since a token (RFC 6578); Debian 12's sabre/dav 1.8 does not.
    bool syncCollection() const { return !sabre(); }
    // Radicale over HTTPS with this certificate and key (PEM files), from the next avvia() on.
    void tls(const QString& certificato, const QString& chiave)
    {
        m_certificato = certificato;
        m_chiave = chiave;
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
        m_processo = std::make_unique<ProcessoDiProva>();
        // Nothing of the server lands in the real home.
        QMap<QString, QString> ambiente{{QStringLiteral("HOME"), suo(m_dir.path())}};
        if (m_tipo == Tipo::Radicale) {
            QFile utenti(m_dir.filePath(QStringLiteral("utenti")));
            QFile config(m_dir.filePath(QStringLiteral("config")));
            if (!utenti.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly))
                return fallito(QStringLiteral("cannot write the configuration"));
            utenti.write(QByteArray(kUtente) + ':' + kPassword + '\n');
            const QByteArray tls = m_certificato.isEmpty()
                                       ? QByteArray()
                                       : "\nssl = True\ncertificate = " + suo(m_certificato).toUtf8() +
                                             "\nkey = " + suo(m_chiave).toUtf8();
            config.write("[server]\nhosts = 127.0.0.1:" + porta.toUtf8() + tls +
                         "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + suo(utenti.fileName()).toUtf8() +
                         "\nhtpasswd_encryption = plain\ndelay = 0\n[storage]\nfilesystem_folder = " +
                         suo(m_dir.filePath(QStringLiteral("dati"))).toUtf8() + "\n[logging]\nlevel = warning\n");
            utenti.close();
            config.close();
            m_processo->start(programma(m_tipo), {QStringLiteral("-C"), suo(config.fileName())}, ambiente);
        } else if (sabre()) {
            if (!scriviSabre())
                return fallito(QStringLiteral("cannot write the server's script"));
            ambiente.insert(QStringLiteral("SABRE_AUTH"),
                            m_tipo == Tipo::SabreDigest ? QStringLiteral("digest") : QStringLiteral("basic"));
            // PHP 8's warnings about sabre/dav 1.8's code go to the log, not into the answers.
            m_processo->start(programma(m_tipo),
                              {QStringLiteral("-d"), QStringLiteral("display_errors=0"), QStringLiteral("-S"),
                               QStringLiteral("127.0.0.1:") + porta, suo(m_dir.filePath(QStringLiteral("server.php")))},
                              ambiente, suo(m_dir.path()));
        } else {
            m_processo->start(programma(m_tipo),
                              {QStringLiteral("-d"), suo(m_dir.filePath(QStringLiteral("dati"))),
                               QStringLiteral("--defaults"), QStringLiteral("-l"), QStringLiteral("127.0.0.1"),
                               QStringLiteral("-p"), porta},
                              ambiente);
        }
        if (!m_processo->waitForStarted(10000))
            return fallito(QStringLiteral("the server did not start"));
        for (int i = 0; i < 200; ++i) {
            QTcpSocket prova;
            prova.connectToHost(QHostAddress::LocalHost, m_porta);
            if (prova.waitForConnected(100))
                return true;
            if (!m_processo->inEsecuzione())
                return fallito(QString::fromUtf8(m_processo->readAll()));
            QThread::msleep(50);
        }
        return fallito(QStringLiteral("the server does not answer"));
    }

    // Kills it, as a server that goes away mid-synchronisation.
    void ferma()
    {
        m_processo.reset();
    }

    QUrl base() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                        .arg(m_certificato.isEmpty() ? QStringLiteral("http") : QStringLiteral("https"))
                        .arg(m_porta));
    }
    // A new, empty address book for one test.
    QUrl nuovaRubrica(const QString& nome)
    {
        const QUrl url = base().resolved(QUrl((m_tipo == Tipo::Radicale ? QStringLiteral("/utente/%1/")
                                               : sabre()                ? QStringLiteral("/addressbooks/utente/%1/")
                                                                        : QStringLiteral("/user/contacts/%1/"))
                                                  .arg(nome)));
        const QByteArray mkcol = "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:mkcol xmlns:d=\"DAV:\" "
                                 "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop><d:resourcetype>"
                                 "<d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
                                 nome.toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>";
        if (http("MKCOL", url, mkcol, nullptr, {{"Content-Type", "application/xml"}}) != QNetworkReply::NoError)
            return {};
        return url;
    }
    QString utente() const { return m_tipo != Tipo::Xandikos ? QString::fromLatin1(kUtente) : QString(); }
    QString password() const { return m_tipo != Tipo::Xandikos ? QString::fromLatin1(kPassword) : QString(); }
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
        // Qt's own answer to the server's challenge (sabre/dav's Digest among them).
        QObject::connect(&rete, &QNetworkAccessManager::authenticationRequired, &rete,
                         [](QNetworkReply*, QAuthenticator* a) {
                             a->setUser(QString::fromLatin1(kUtente));
                             a->setPassword(QString::fromLatin1(kPassword));
                         });
        if (!m_certificato.isEmpty())
            QObject::connect(&rete, &QNetworkAccessManager::sslErrors, &rete,
                             [](QNetworkReply* r, const QList<QSslError>&) { r->ignoreSslErrors(); });
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
    // sabre/dav's example CardDAV server on a SQLite file, with the tables its PDO backends read, one principal
    // and its address-book home. Debian 12's sabre/dav (1.8) predates PHP 8, whose warnings are kept off the
    // answers.
    bool scriviSabre()
    {
        const QByteArray ha1 = QCryptographicHash::hash(QByteArray(QByteArray(kUtente) + ":SabreDAV:" + kPassword),
                                                        QCryptographicHash::Md5)
                                   .toHex();
        QFile schema(m_dir.filePath(QStringLiteral("schema.sql")));
        QFile script(m_dir.filePath(QStringLiteral("server.php")));
        if (!schema.open(QIODevice::WriteOnly) || !script.open(QIODevice::WriteOnly))
            return false;
        schema.write(
            "CREATE TABLE IF NOT EXISTS addressbooks (id integer primary key asc, principaluri text, displayname "
            "text, uri text, description text, ctag integer);\n"
            "CREATE TABLE IF NOT EXISTS cards (id integer primary key asc, addressbookid integer, carddata blob, uri "
            "text, lastmodified integer);\n"
            "CREATE TABLE IF NOT EXISTS principals (id INTEGER PRIMARY KEY ASC, uri TEXT, email TEXT, displayname "
            "TEXT, vcardurl TEXT, UNIQUE(uri));\n"
            "CREATE TABLE IF NOT EXISTS groupmembers (id INTEGER PRIMARY KEY ASC, principal_id INTEGER, member_id "
            "INTEGER, UNIQUE(principal_id, member_id));\n"
            "CREATE TABLE IF NOT EXISTS users (id integer primary key asc, username TEXT, digesta1 TEXT, "
            "UNIQUE(username));\n"
            "INSERT OR IGNORE INTO principals (uri, email, displayname) VALUES ('principals/utente', "
            "'utente@example.org', 'Utente');\n"
            "INSERT OR IGNORE INTO users (username, digesta1) VALUES ('utente', '" +
            ha1 + "');\n");
        script.write(R"php(<?php
error_reporting(E_ALL & ~E_DEPRECATED & ~E_STRICT);
ini_set('display_errors', '0');
require_once 'Sabre/autoload.php';
$pdo = new PDO('sqlite:' . __DIR__ . '/db.sqlite');
$pdo->setAttribute(PDO::ATTR_ERRMODE, PDO::ERRMODE_EXCEPTION);
$pdo->exec(file_get_contents(__DIR__ . '/schema.sql'));
class Basic extends Sabre\DAV\Auth\Backend\AbstractBasic {
    protected function validateUserPass($u, $p) { return $u === 'utente' && $p === 'segreta'; }
}
$auth = getenv('SABRE_AUTH') === 'digest' ? new Sabre\DAV\Auth\Backend\PDO($pdo) : new Basic();
$principali = new Sabre\DAVACL\PrincipalBackend\PDO($pdo);
$server = new Sabre\DAV\Server(array(
    new Sabre\DAVACL\PrincipalCollection($principali),
    new Sabre\CardDAV\AddressBookRoot($principali, new Sabre\CardDAV\Backend\PDO($pdo)),
));
$server->setBaseUri('/');
$server->addPlugin(new Sabre\DAV\Auth\Plugin($auth, 'SabreDAV'));
$server->addPlugin(new Sabre\CardDAV\Plugin());
$server->addPlugin(new Sabre\DAVACL\Plugin());
$server->exec();
)php");
        return true;
    }

    static QString suo(const QString& file) { return ProcessoDiProva::percorso(file); }

    bool fallito(const QString& motivo)
    {
        m_errore = motivo;
        return false;
    }

    Tipo m_tipo;
    QTemporaryDir m_dir;
    quint16 m_porta = 0;
    std::unique_ptr<ProcessoDiProva> m_processo;
    QString m_errore;
    QString m_certificato;
    QString m_chiave;
};
