#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// A self-signed certificate for 127.0.0.1 made by the openssl program, as NOME.pem and NOME.key in the folder;
// its SHA-256 fingerprint ("AB:CD:…"), or empty.
inline QByteArray nuovoCertificato(const QString& cartella, const QString& nome)
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    QProcess p;
    p.start(openssl,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
             QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
             QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
             cartella + u'/' + nome + QStringLiteral(".key"), QStringLiteral("-out"),
             cartella + u'/' + nome + QStringLiteral(".pem")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    p.start(openssl,
            {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
             QStringLiteral("-sha256"), QStringLiteral("-in"), cartella + u'/' + nome + QStringLiteral(".pem")});
    p.waitForFinished(30000);
    const QByteArray riga = p.readAllStandardOutput().trimmed(); // "sha256 Fingerprint=AB:CD:…"
    return riga.mid(riga.indexOf('=') + 1).toUpper();
}
