// The vCard reader over arbitrary bytes: whatever the file holds, every text read fits its field, and a card
// read, written again and read back holds the same texts, but for the form of its line breaks (every one is
// written as "\n" and read back as LF) and the control characters, which are never written.
#include "Fuzz.h"

#include "archive/CampiScheda.h"
#include "archive/Trim.h"
#include "vcard/CodecVCard.h"

#include <cstring>
#include <memory>

namespace {

QString comeRiscritto(QString testo)
{
    testo.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    testo.removeIf([](QChar c) {
        return (c.unicode() < 32 && c != QLatin1Char('\t') && c != QLatin1Char('\n')) || c.unicode() == 127;
    });
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
        const LetturaVCard ancora = leggiVCard(vCard(testi));
        if (ancora.esito != LetturaVCard::Letta || ancora.schede.size() != 1)
            abort();
        for (int c = 0; c < kNumeroCampi; ++c)
            if (ancora.schede[0][c] != comeRiscritto(testi[c]))
                abort();
    }
    return 0;
}
