// Synchronisation against a real radicale or xandikos on this computer, whose own cost per stored contact is the
// limit: a first synchronisation of N cards against N plain uploads of the same contacts, and a synchronisation
// with nothing to do. The counters give the HTTP requests made.
#include "BenchMain.h"
#include "support/SchedeDiProva.h"
#include "support/ServerCardDav.h"
#include "sync/Sincronizzazione.h"
#include "sync/VCardSync.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <map>

namespace {

using Tipo = ServerCardDav::Tipo;

ServerCardDav* server(Tipo tipo)
{
    static std::map<Tipo, std::unique_ptr<ServerCardDav>> servers;
    auto& s = servers[tipo];
    if (!s) {
        s = std::make_unique<ServerCardDav>(tipo);
        if (ServerCardDav::programma(tipo).isEmpty() || !s->avvia())
            return nullptr;
    }
    return s.get();
}

QUrl nuovaRubrica(ServerCardDav& s)
{
    static int n = 0;
    return s.nuovaRubrica(QStringLiteral("bench%1").arg(++n));
}

void scriviArchivio(const QString& cartella, int schede)
{
    if (!SchedeDiProva::scriviArchivioTipico(cartella, schede))
        std::abort();
}

RiepilogoSync sincronizza(ServerCardDav& s, const QString& cartella, const QUrl& rubrica, int* richieste)
{
    std::optional<StatoSync> stato = StatoSync::leggi(cartella, nullptr);
    if (!stato)
        stato = StatoSync{{}, rubrica, {}, true, s.utente(), {}, {}, {}};
    ClientCardDav client(s.utente(), s.password());
    Sincronizzazione sync(cartella, client, *stato);
    const RiepilogoSync r = sync.esegui({});
    *richieste += client.richieste();
    return r;
}

// The second argument picks the server: 0 radicale, 1 xandikos.
void BM_CaricamentiSemplici(benchmark::State& state)
{
    ServerCardDav* s = server(Tipo(state.range(1)));
    if (!s)
        return state.SkipWithError("server not available");
    const int schede = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const QUrl rubrica = nuovaRubrica(*s);
        ClientCardDav client(s->utente(), s->password());
        state.ResumeTiming();
        for (int n = 0; n < schede; ++n) {
            const QString uid = QStringLiteral("contatto-%1").arg(n);
            if (!client
                     .metti(rubrica.resolved(QUrl(uid + QStringLiteral(".vcf"))),
                            vcardNuova(SchedeDiProva::testiTipici(n), uid), {})
                     .riuscita())
                return state.SkipWithError("upload failed");
        }
        state.counters["requests"] = client.richieste();
    }
}

void BM_PrimaSincronizzazione(benchmark::State& state)
{
    ServerCardDav* s = server(Tipo(state.range(1)));
    if (!s)
        return state.SkipWithError("server not available");
    const int schede = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cartella;
        scriviArchivio(cartella.path(), schede);
        const QUrl rubrica = nuovaRubrica(*s);
        int richieste = 0;
        state.ResumeTiming();
        const RiepilogoSync r = sincronizza(*s, cartella.path(), rubrica, &richieste);
        if (!r.riuscita() || r.inviati != schede)
            return state.SkipWithError(qPrintable(r.errore + r.testo()));
        state.counters["requests"] = richieste;
    }
}

void BM_SincronizzazioneSenzaNulla(benchmark::State& state)
{
    ServerCardDav* s = server(Tipo(state.range(1)));
    if (!s)
        return state.SkipWithError("server not available");
    QTemporaryDir cartella;
    scriviArchivio(cartella.path(), int(state.range(0)));
    const QUrl rubrica = nuovaRubrica(*s);
    int richieste = 0;
    if (!sincronizza(*s, cartella.path(), rubrica, &richieste).riuscita())
        return state.SkipWithError("first synchronisation failed");
    richieste = 0;
    for (auto _ : state) {
        const RiepilogoSync r = sincronizza(*s, cartella.path(), rubrica, &richieste);
        if (!r.riuscita() || r.inviati + r.ricevuti + r.eliminati != 0)
            return state.SkipWithError(qPrintable(r.errore + r.testo()));
    }
    state.counters["requests_per_sync"] = benchmark::Counter(richieste, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(BM_CaricamentiSemplici)->Args({1000, 0})->Args({1000, 1})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PrimaSincronizzazione)->Args({1000, 0})->Args({1000, 1})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SincronizzazioneSenzaNulla)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return eseguiBenchmark<QCoreApplication>(argc, argv);
}
