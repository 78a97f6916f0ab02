#pragma once

#include <QByteArray>
#include <QString>

#include "ProcessoDiProva.h"

// A self-signed certificate for 127.0.0.1 made by the openssl program, as NOME.pem and NOME.key in the folder;
// its SHA-256 fingerprint ("AB:CD:…"), or empty.
inline QByteArray nuovoCertificato(const QString& cartella, const QString& nome)
{
    const QString openssl = QStringLiteral("openssl");
    const QString base = ProcessoDiProva::percorso(cartella) + u'/' + nome;
    ProcessoDiProva p;
    p.start(openssl,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
             QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
             QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
             QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
             base + QStringLiteral(".key"), QStringLiteral("-out"), base + QStringLiteral(".pem")},
            {}, {}, false);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    ProcessoDiProva impronta;
    impronta.start(openssl,
                   {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
                    QStringLiteral("-sha256"), QStringLiteral("-in"), base + QStringLiteral(".pem")},
                   {}, {}, false);
    impronta.waitForFinished(30000);
    const QByteArray riga = impronta.readAll().trimmed(); // "sha256 Fingerprint=AB:CD:…"
    return riga.mid(riga.indexOf('=') + 1).toUpper();
}
