#include "sync/PianoSync.h"

#include <QHash>
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

QString chiaveNome(const TestiScheda& t)
{
    if (t[Cognome].trimmed().isEmpty() && t[Nome].trimmed().isEmpty() && t[Azienda].trimmed().isEmpty())
        return {};
    return QString(t[Cognome].trimmed() + u'\x1f' + t[Nome].trimmed() + u'\x1f' + t[Azienda].trimmed()).toCaseFolded();
}

bool stessaPersonaPossibile(const TestiScheda& a, const TestiScheda& b)
{
    const auto uguale = [&a, &b](int campo) {
        return a[campo].trimmed().compare(b[campo].trimmed(), Qt::CaseInsensitive) == 0;
    };
    const auto haNome = [](const TestiScheda& t) {
        return !t[Cognome].trimmed().isEmpty() || !t[Nome].trimmed().isEmpty();
    };
    if (haNome(a) && haNome(b))
        return uguale(Cognome) || uguale(Nome);
    if (!haNome(a) && !haNome(b))
        return uguale(Azienda);
    // A name added or taken away: the same contact only where the company says so.
    return uguale(Azienda) && !a[Azienda].trimmed().isEmpty();
}

int Abbinamento::indovinate() const
{
    int n = 0;
    for (qsizetype v = 0; v < indovinata.size(); ++v)
        n += indovinata[v] && (localeDellaVoce[v] < 0 || cambiata[v]) ? 1 : 0;
    return n;
}

Abbinamento abbina(const QList<VoceSync>& voci, const QList<SchedaLocale>& locali,
                   const QList<OperazioneGiornale>& giornale)
{
    Abbinamento a;
    a.localeDellaVoce.fill(-1, voci.size());
    a.cambiata.fill(false, voci.size());
    a.indovinata.fill(true, voci.size());
    a.voceDellaLocale.fill(-1, locali.size());
    QList<TestiScheda> normaliLocali;
    normaliLocali.reserve(locali.size());
    for (const SchedaLocale& l : locali)
        normaliLocali << normalizza(l.testi);
    const auto unisci = [&](int voce, int locale) {
        a.localeDellaVoce[voce] = locale;
        a.voceDellaLocale[locale] = voce;
        a.cambiata[voce] = normaliLocali[locale] != normalizza(voci[voce].campi);
    };

    // Each entry's card, carried forward through the journal. Identities of cards appended since are counted, so
    // that such a card is never taken for an entry edited by another program.
    QMultiHash<QByteArray, int> perIdentita;
    QList<bool> eliminata(voci.size(), false);
    for (int v = 0; v < voci.size(); ++v) {
        if (voci[v].locale == VoceSync::kEliminataQui)
            eliminata[v] = true;
        else if (!voci[v].locale.isEmpty())
            perIdentita.insert(voci[v].locale, v);
    }
    QHash<QByteArray, int> aggiunte;
    const auto prendi = [&](const QByteArray& identita) {
        const auto it = perIdentita.find(identita);
        if (it == perIdentita.end())
            return -1;
        const int v = *it;
        perIdentita.erase(it);
        return v;
    };
    for (const OperazioneGiornale& op : giornale) {
        switch (op.tipo) {
        case OperazioneGiornale::Tipo::Sostituita:
            if (const int v = prendi(op.prima); v >= 0)
                perIdentita.insert(op.dopo, v);
            else if (aggiunte.value(op.prima) > 0) {
                --aggiunte[op.prima];
                ++aggiunte[op.dopo];
            }
            break;
        case OperazioneGiornale::Tipo::Rimossa:
            if (const int v = prendi(op.prima); v >= 0)
                eliminata[v] = true;
            else if (aggiunte.value(op.prima) > 0)
                --aggiunte[op.prima];
            break;
        case OperazioneGiornale::Tipo::Aggiunta:
            ++aggiunte[op.dopo];
            break;
        }
    }
    QMultiHash<QByteArray, int> localiPerIdentita;
    for (int i = locali.size() - 1; i >= 0; --i)
        localiPerIdentita.insert(locali[i].identita, i);
    for (auto it = perIdentita.cbegin(); it != perIdentita.cend(); ++it) {
        for (auto l = localiPerIdentita.find(it.key()); l != localiPerIdentita.end() && l.key() == it.key(); ++l) {
            if (a.voceDellaLocale[*l] < 0) {
                unisci(*it, *l);
                a.indovinata[*it] = false;
                break;
            }
        }
    }
    for (int v = 0; v < voci.size(); ++v) {
        if (eliminata[v])
            a.indovinata[v] = false;
    }
    QList<bool> nuovaCerta(locali.size(), false);
    for (int i = 0; i < locali.size(); ++i) {
        if (a.voceDellaLocale[i] < 0 && aggiunte.value(locali[i].identita) > 0) {
            --aggiunte[locali[i].identita];
            nuovaCerta[i] = true;
        }
    }

    // What the journal does not explain. Unchanged cards first; among equal ones, each entry takes a card of its
    // own, first come first served.
    QMultiHash<QByteArray, int> perImpronta;
    for (int i = 0; i < locali.size(); ++i) {
        if (a.voceDellaLocale[i] < 0 && !nuovaCerta[i])
            perImpronta.insert(impronta(locali[i].testi), i);
    }
    const auto daTrovare = [&](int v) { return a.localeDellaVoce[v] < 0 && !eliminata[v]; };
    for (int v = 0; v < voci.size(); ++v) {
        if (!daTrovare(v))
            continue;
        QList<int> candidate = perImpronta.values(impronta(voci[v].campi));
        std::sort(candidate.begin(), candidate.end());
        for (int i : candidate) {
            if (a.voceDellaLocale[i] < 0) {
                unisci(v, i);
                a.indovinata[v] = false;
                break;
            }
        }
    }

    QList<int> vociRimaste;
    QList<int> localiRimaste;
    for (int v = 0; v < voci.size(); ++v)
        if (daTrovare(v))
            vociRimaste << v;
    for (int i = 0; i < locali.size(); ++i)
        if (a.voceDellaLocale[i] < 0 && !nuovaCerta[i])
            localiRimaste << i;
    if (vociRimaste.isEmpty() || localiRimaste.isEmpty() ||
        qint64(vociRimaste.size()) * localiRimaste.size() > kMassimoConfronti)
        return a;

    // Edited cards: every pair weighed, the likest paired first. Same name and company counts as alike
    // whatever else changed; otherwise at least half the texts must be the same, and never across a new name.
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
            if (!stessaPersonaPossibile(campi, normaliLocali[i]))
                continue;
            const double s = somiglianza(campi, normaliLocali[i]);
            const bool stessoNome = !nome.isEmpty() && nome == chiaveNome(normaliLocali[i]);
            if (stessoNome || s >= 0.5)
                coppie << Coppia{s + (stessoNome ? 1.0 : 0.0), v, i};
        }
    }
    std::stable_sort(coppie.begin(), coppie.end(), [](const Coppia& x, const Coppia& y) { return x.peso > y.peso; });
    for (const Coppia& c : coppie) {
        if (a.localeDellaVoce[c.voce] < 0 && a.voceDellaLocale[c.locale] < 0)
            unisci(c.voce, c.locale);
    }
    return a;
}
