// The vCard reader over arbitrary bytes: whatever the file holds, every text read fits its field, and a card
// read, written again and read back holds the same texts, but for the form of its line breaks (every one comes
// back as CR LF, the archive's own), the control characters, which are never written, and a web field that holds
// only a scheme, which is not written as an address. A card left with no text at all is not read back.
#include "Fuzz.h"

#include "archive/CampiScheda.h"
#include "archive/Trim.h"
#include "vcard/CodecVCard.h"

#include <QRegularExpression>

#include <cstring>
#include <memory>

namespace {

QString comeRiscritto(QString testo, Campo campo)
{
    static const QRegularExpression kSoloSchema(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(//)?$"));
    if (campo == Web && kSoloSchema.match(testo).hasMatch())
        return {};
    testo.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    testo.removeIf([&](QChar c) {
        return (c.unicode() < 32 && c != QLatin1Char('\t') && (c != QLatin1Char('\n') || campo == Web)) ||
               c.unicode() == 127;
    });
    testo.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return Trim(testo);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A heap block of exactly the input's size, so a read past the end of the file is a finding.
    auto file = std::make_unique<char[]>(size ? size : 1);
    if (size > 0)
        std::memcpy(file.get(), data, size);
    const LetturaVCard lettura = leggiVCard(QByteArrayView(file.get(), qsizetype(size)));
    if (lettura.esito == LetturaVCard::Letta && lettura.schede.isEmpty())
        abort();
    if (lettura.accorciate < 0 || lettura.accorciate > lettura.schede.size())
        abort();
    for (const TestiScheda& testi : lettura.schede) {
        for (int c = 0; c < kNumeroCampi; ++c)
            if (testi[c].size() > kCampiScheda[c].capacity)
                abort();
        TestiScheda attesi;
        bool vuota = true;
        for (int c = 0; c < kNumeroCampi; ++c) {
            attesi[c] = comeRiscritto(testi[c], Campo(c));
            vuota = vuota && attesi[c].isEmpty();
        }
        const LetturaVCard ancora = leggiVCard(vCard(testi));
        if (vuota) {
            if (ancora.esito != LetturaVCard::Vuota)
                abort();
            continue;
        }
        if (ancora.esito != LetturaVCard::Letta || ancora.schede.size() != 1)
            abort();
        for (int c = 0; c < kNumeroCampi; ++c)
            if (ancora.schede[0][c] != attesi[c])
                abort();
    }
    return 0;
}
