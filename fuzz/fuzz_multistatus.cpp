// The WebDAV multistatus reader over arbitrary bytes, as a server's answer reaches it: it never fails, and what
// it says of each response holds together (a response with address-data has a successful status of its own, and
// the address-data is among its properties), and the canonical form of each href is a fixed point, inside the
// address book or not.
#include "Fuzz.h"

#include "sync/Multistatus.h"
#include "sync/PercorsoDav.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    const Multistatus m = leggiMultistatus(xml);
    static const QUrl rubrica(QStringLiteral("https://127.0.0.1:8443/ab/"));
    for (const RispostaDav& r : m.risposte) {
        if (r.datiIndirizzo && !r.proprieta.contains(QStringLiteral("urn:ietf:params:xml:ns:carddav:address-data")))
            abort();
        const QString percorso = hrefCanonico(rubrica, r.href);
        if (!percorso.isEmpty() && percorsoCanonico(percorso) != percorso)
            abort();
        if (direttamenteDentro(percorso, QStringLiteral("/ab/")) &&
            (percorso.contains(QLatin1String("/../")) || percorso.contains(QLatin1String("/./"))))
            abort();
    }
    return 0;
}
