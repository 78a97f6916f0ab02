#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A WebDAV multistatus answer (RFC 4918), read into what a CardDAV client needs of it: for each response its
// href and status, and the properties of its successful propstat. Elements are named by namespace and local
// name ("DAV:getetag", "urn:ietf:params:xml:ns:carddav:address-data").
struct Proprieta
{
    QString testo;     // the text inside, for getetag, displayname, address-data
    QStringList figli; // the elements directly inside, for resourcetype
    QStringList tutti; // every element inside, however deep, for the reports of supported-report-set
    QStringList href;  // every href inside, for current-user-principal and addressbook-home-set
};

struct RispostaDav
{
    QString href;
    // The response's own status; without one, 200 when a propstat succeeded (each property has its own status,
    // in any order), else the first propstat's.
    int stato = 200;
    QHash<QString, Proprieta> proprieta; // those of the successful propstats
    bool datiIndirizzo = false;          // a successful propstat carried CardDAV's address-data
};

struct Multistatus
{
    bool valido = false;
    QList<RispostaDav> risposte;
    QByteArray syncToken;
};

Multistatus leggiMultistatus(const QByteArray& xml);

// "HTTP/1.1 404 Not Found" -> 404.
int statoDaRiga(QStringView riga);
