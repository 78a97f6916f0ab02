#include "sync/PianoSync.h"

#include <QMultiHash>

#include <algorithm>

Decisione decidi(Lato locale, Lato remoto, bool uguali)
{
    using enum Lato;
    switch (locale) {
    case Invariata:
        return remoto == Invariata  ? Decisione::Niente
               : remoto == Cambiata ? Decisione::Scarica
                                    : Decisione::EliminaQui;
    case Cambiata:
        if (remoto == Invariata)
            return Decisione::Carica;
        if (remoto == Eliminata)
            return Decisione::CaricaNuova;
        return uguali ? Decisione::Aggiorna : Decisione::Conflitto;
    case Eliminata:
        return remoto == Invariata  ? Decisione::EliminaServer
               : remoto == Cambiata ? Decisione::ScaricaNuova
                                    : Decisione::Dimentica;
    }
    return Decisione::Niente;
}

namespace {

// Above this many pairs to weigh, the cards left are too unlike the state to be edits of it.
constexpr qint64 kMassimoConfronti = 4'000'000;

QString chiaveNome(const TestiScheda& t)
{
    return QString(t[Cognome].trimmed() + u'\x1f' + t[Nome].trimmed() + u'\x1f' + t[Azienda].trimmed()).toCaseFolded();
}

// How alike two cards are: the share of their texts that are equal, among those that are not empty on both.
double somiglianza(const TestiScheda& a, const TestiScheda& b)
{
    int uguali = 0;
    int pieni = 0;
    for (int c = 0; c < kNumeroCampi; ++c) {
        if (a[c].isEmpty() && b[c].isEmpty())
            continue;
        ++pieni;
        uguali += a[c] == b[c] ? 1 : 0;
    }
    return pieni == 0 ? 0 : double(uguali) / pieni;
}

} // namespace

Abbinamento abbina(const QList<VoceSync>& voci, const QList<SchedaLocale>& locali)
{
    Abbinamento a;
    a.localeDellaVoce.fill(-1, voci.size());
    a.cambiata.fill(false, voci.size());
    a.voceDellaLocale.fill(-1, locali.size());
    const auto unisci = [&a](int voce, int locale, bool cambiata) {
        a.localeDellaVoce[voce] = locale;
        a.voceDellaLocale[locale] = voce;
        a.cambiata[voce] = cambiata;
    };

    QList<TestiScheda> normaliLocali;
    normaliLocali.reserve(locali.size());
    QMultiHash<QByteArray, int> perImpronta;
    for (int i = 0; i < locali.size(); ++i) {
        normaliLocali << normalizza(locali[i].testi);
        perImpronta.insert(impronta(locali[i].testi), i);
    }
    // Unchanged cards; among equal ones, each entry takes a card of its own, first come first served.
    for (int v = 0; v < voci.size(); ++v) {
        QList<int> candidate = perImpronta.values(impronta(voci[v].campi));
        std::sort(candidate.begin(), candidate.end());
        for (int i : candidate) {
            if (a.voceDellaLocale[i] < 0) {
                unisci(v, i, false);
                break;
            }
        }
    }

    QList<int> vociRimaste;
    QList<int> localiRimaste;
    for (int v = 0; v < voci.size(); ++v)
        if (a.localeDellaVoce[v] < 0)
            vociRimaste << v;
    for (int i = 0; i < locali.size(); ++i)
        if (a.voceDellaLocale[i] < 0)
            localiRimaste << i;
    if (vociRimaste.isEmpty() || localiRimaste.isEmpty() ||
        qint64(vociRimaste.size()) * localiRimaste.size() > kMassimoConfronti)
        return a;

    // Edited cards: every pair weighed, the likest paired first. Same name and company counts as alike
    // whatever else changed; otherwise at least half the texts must be the same.
    struct Coppia
    {
        double peso;
        int voce;
        int locale;
    };
    QList<Coppia> coppie;
    for (int v : vociRimaste) {
        const TestiScheda campi = normalizza(voci[v].campi);
        const QString nome = chiaveNome(campi);
        for (int i : localiRimaste) {
            const double s = somiglianza(campi, normaliLocali[i]);
            const bool stessoNome =
                !nome.isEmpty() && nome != QStringLiteral("\x1f\x1f") && nome == chiaveNome(normaliLocali[i]);
            if (stessoNome || s >= 0.5)
                coppie << Coppia{s + (stessoNome ? 1.0 : 0.0), v, i};
        }
    }
    std::stable_sort(coppie.begin(), coppie.end(), [](const Coppia& x, const Coppia& y) { return x.peso > y.peso; });
    for (const Coppia& c : coppie) {
        if (a.localeDellaVoce[c.voce] < 0 && a.voceDellaLocale[c.locale] < 0)
            unisci(c.voce, c.locale, true);
    }
    return a;
}
