#include "sync/Multistatus.h"

#include <QXmlStreamReader>

namespace {

QString nome(const QXmlStreamReader& xml)
{
    return xml.namespaceUri().toString() + u':' + xml.name().toString();
}

const QString kResponse = QStringLiteral("DAV::response");
const QString kHref = QStringLiteral("DAV::href");
const QString kStatus = QStringLiteral("DAV::status");
const QString kPropstat = QStringLiteral("DAV::propstat");
const QString kProp = QStringLiteral("DAV::prop");
const QString kSyncToken = QStringLiteral("DAV::sync-token");
const QString kAddressData = QStringLiteral("urn:ietf:params:xml:ns:carddav:address-data");

// Reads one property element whose start the reader is on, to its end.
Proprieta leggiProprieta(QXmlStreamReader& xml)
{
    Proprieta p;
    int livello = 1;
    while (livello > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (livello == 1)
                p.figli << nome(xml);
            p.tutti << nome(xml);
            if (nome(xml) == kHref) {
                p.href << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                break;
            }
            ++livello;
            break;
        case QXmlStreamReader::EndElement:
            --livello;
            break;
        case QXmlStreamReader::Characters:
            if (livello == 1)
                p.testo += xml.text();
            break;
        default:
            break;
        }
    }
    return p;
}

RispostaDav leggiRisposta(QXmlStreamReader& xml)
{
    RispostaDav r;
    bool statoProprio = false;
    bool primoPropstat = true;
    bool riuscito = false;
    while (xml.readNextStartElement()) {
        const QString n = nome(xml);
        if (n == kHref) {
            r.href = xml.readElementText().trimmed();
        } else if (n == kStatus) {
            r.stato = statoDaRiga(xml.readElementText());
            statoProprio = true;
        } else if (n == kPropstat) {
            int stato = 200;
            QHash<QString, Proprieta> proprieta;
            while (xml.readNextStartElement()) {
                if (nome(xml) == kStatus) {
                    stato = statoDaRiga(xml.readElementText());
                } else if (nome(xml) == kProp) {
                    while (xml.readNextStartElement())
                        proprieta.insert(nome(xml), leggiProprieta(xml));
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (!statoProprio && (primoPropstat || (stato / 100 == 2 && !riuscito)))
                r.stato = stato;
            primoPropstat = false;
            if (stato / 100 == 2) {
                riuscito = true;
                r.datiIndirizzo = r.datiIndirizzo || proprieta.contains(kAddressData);
                r.proprieta.insert(proprieta);
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return r;
}

} // namespace

int statoDaRiga(QStringView riga)
{
    const QList<QStringView> parti = riga.trimmed().split(u' ', Qt::SkipEmptyParts);
    return parti.size() >= 2 ? parti[1].toInt() : 0;
}

Multistatus leggiMultistatus(const QByteArray& corpo)
{
    Multistatus m;
    QXmlStreamReader xml(corpo);
    if (!xml.readNextStartElement() || nome(xml) != QStringLiteral("DAV::multistatus"))
        return m;
    while (xml.readNextStartElement()) {
        if (nome(xml) == kResponse)
            m.risposte << leggiRisposta(xml);
        else if (nome(xml) == kSyncToken)
            m.syncToken = xml.readElementText().trimmed().toUtf8();
        else
            xml.skipCurrentElement();
    }
    m.valido = !xml.hasError();
    return m;
}
