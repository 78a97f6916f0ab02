#include "export/XlsxAutomationServer.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h> // after windows.h
#endif

namespace {

// The sheet's limits, as the spreadsheet program has them.
constexpr int kMaxRighe = 1048576;
constexpr int kMaxColonne = 16384;
// Workbooks.Add(xlWBATWorksheet): a workbook with a single worksheet.
constexpr int kUnFoglio = -4167;

[[noreturn]] void errore(const QString& testo)
{
    throw AutomationError(testo);
}

bool uguale(const QString& a, const char* b)
{
    return a.compare(QLatin1StringView(b), Qt::CaseInsensitive) == 0;
}

void argomenti(const QString& membro, const QVariantList& args, int numero)
{
    if (args.size() != numero)
        errore(QStringLiteral("%1: attesi %2 argomenti, ricevuti %3").arg(membro).arg(numero).arg(args.size()));
}

int intero(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return v.toInt();
    default:
        errore(QStringLiteral("Atteso un numero intero"));
    }
}

QString testo(const QVariant& v)
{
    if (v.metaType().id() != QMetaType::QString)
        errore(QStringLiteral("Atteso un testo"));
    return v.toString();
}

bool booleano(const QVariant& v)
{
    if (v.metaType().id() != QMetaType::Bool)
        errore(QStringLiteral("Atteso un valore logico"));
    return v.toBool();
}

struct Cella
{
    enum class Tipo : quint8 { Vuota, Testo, Numero };
    QString testo;
    double numero = 0;
    Tipo tipo = Tipo::Vuota;
    bool formatoTesto = false;
    bool grassetto = false;
};

struct Foglio
{
    QString nome;
    std::vector<std::vector<Cella>> righe; // 0-based
    std::map<int, double> larghezze;       // in characters, by 0-based column
    int selR1 = 0, selC1 = 0, selR2 = 0, selC2 = 0;

    Cella& cella(int r, int c)
    {
        if (size_t(r) >= righe.size())
            righe.resize(size_t(r) + 1);
        std::vector<Cella>& riga = righe[size_t(r)];
        if (size_t(c) >= riga.size())
            riga.resize(size_t(c) + 1);
        return riga[size_t(c)];
    }
};

struct Cartella
{
    std::vector<std::shared_ptr<Foglio>> fogli;
};

// A rectangle of a sheet, 0-based and inclusive; whole columns run over every row the sheet has.
struct Area
{
    std::shared_ptr<Foglio> foglio;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    bool colonneIntere = false;

    int ultimaRiga() const { return colonneIntere ? int(foglio->righe.size()) - 1 : r2; }
};

} // namespace

struct XlsxAutomationServer::Stato
{
    bool visibile = false;
    std::vector<std::shared_ptr<Cartella>> cartelle;
    std::shared_ptr<Foglio> attivo;
    Area selezione;
    bool haSelezione = false;
};

namespace {

using Stato = XlsxAutomationServer::Stato;

XlsxAutomationServer::Opener& opener()
{
    static XlsxAutomationServer::Opener o;
    return o;
}

// "A" -> 0, "Q" -> 16; -1 when not letters or beyond the sheet.
int colonnaDaLettere(QStringView lettere)
{
    if (lettere.isEmpty() || lettere.size() > 3)
        return -1;
    int c = 0;
    for (QChar ch : lettere) {
        const char16_t u = QChar::toUpper(ch.unicode());
        if (u < u'A' || u > u'Z')
            return -1;
        c = c * 26 + (u - u'A' + 1);
    }
    return c <= kMaxColonne ? c - 1 : -1;
}

// "Q4" -> row 3, column 16.
void cellaDaIndirizzo(const QString& indirizzo, int& riga, int& colonna)
{
    qsizetype i = 0;
    while (i < indirizzo.size() && indirizzo[i].isLetter())
        ++i;
    colonna = colonnaDaLettere(QStringView(indirizzo).first(i));
    bool ok = false;
    const int r = QStringView(indirizzo).sliced(i).toInt(&ok);
    if (colonna < 0 || !ok || r < 1 || r > kMaxRighe || indirizzo.sliced(i).startsWith(u'+'))
        errore(QStringLiteral("Indirizzo di cella non valido: %1").arg(indirizzo));
    riga = r - 1;
}

[[noreturn]] void sconosciuto(AutomationObject::Kind kind, const QString& membro)
{
    using Kind = AutomationObject::Kind;
    const char* tipo = kind == Kind::Get ? "get" : kind == Kind::Put ? "put" : "call";
    errore(QStringLiteral("Membro non supportato: %1 %2").arg(QLatin1StringView(tipo), membro));
}

class Oggetto : public AutomationObject
{
public:
    explicit Oggetto(std::shared_ptr<Stato> stato) : m_stato(std::move(stato)) {}

protected:
    std::shared_ptr<Stato> m_stato;
};

class Carattere final : public Oggetto
{
public:
    Carattere(std::shared_ptr<Stato> stato, Area area) : Oggetto(std::move(stato)), m_area(std::move(area)) {}

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        if (kind == Kind::Put && uguale(membro, "Bold")) {
            argomenti(membro, args, 1);
            const bool grassetto = booleano(args[0]);
            for (int r = m_area.r1; r <= m_area.ultimaRiga(); ++r) {
                for (int c = m_area.c1; c <= m_area.c2; ++c)
                    m_area.foglio->cella(r, c).grassetto = grassetto;
            }
            return {};
        }
        sconosciuto(kind, membro);
    }

private:
    Area m_area;
};

class Intervallo final : public Oggetto
{
public:
    Intervallo(std::shared_ptr<Stato> stato, Area area) : Oggetto(std::move(stato)), m_area(std::move(area)) {}

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        if (kind == Kind::Call && uguale(membro, "Select")) {
            argomenti(membro, args, 0);
            m_stato->attivo = m_area.foglio;
            m_stato->selezione = m_area;
            m_stato->haSelezione = true;
            Foglio& f = *m_area.foglio;
            f.selR1 = m_area.r1;
            f.selC1 = m_area.c1;
            f.selR2 = m_area.colonneIntere ? kMaxRighe - 1 : m_area.r2;
            f.selC2 = m_area.c2;
            return {};
        }
        if (kind == Kind::Put && uguale(membro, "NumberFormat")) {
            argomenti(membro, args, 1);
            // Only the text format is honoured; the export asks for nothing else.
            if (testo(args[0]) != QStringLiteral("@"))
                errore(QStringLiteral("Formato non supportato: %1").arg(args[0].toString()));
            if (m_area.colonneIntere)
                errore(QStringLiteral("Formato su colonne intere non supportato"));
            for (int r = m_area.r1; r <= m_area.r2; ++r) {
                for (int c = m_area.c1; c <= m_area.c2; ++c)
                    m_area.foglio->cella(r, c).formatoTesto = true;
            }
            return {};
        }
        if (kind == Kind::Put && uguale(membro, "Value")) {
            argomenti(membro, args, 1);
            impostaValori(args[0]);
            return {};
        }
        if (kind == Kind::Call && uguale(membro, "Font")) {
            argomenti(membro, args, 0);
            return wrap(std::make_shared<Carattere>(m_stato, m_area));
        }
        if (kind == Kind::Call && uguale(membro, "EntireColumn")) {
            argomenti(membro, args, 0);
            Area colonne = m_area;
            colonne.r1 = 0;
            colonne.r2 = kMaxRighe - 1;
            colonne.colonneIntere = true;
            return wrap(std::make_shared<Intervallo>(m_stato, colonne));
        }
        if (kind == Kind::Call && uguale(membro, "AutoFit")) {
            argomenti(membro, args, 0);
            if (!m_area.colonneIntere)
                errore(QStringLiteral("AutoFit si applica a colonne intere"));
            adattaColonne();
            return {};
        }
        sconosciuto(kind, membro);
    }

private:
    void impostaValori(const QVariant& valore)
    {
        if (m_area.colonneIntere || valore.metaType().id() != QMetaType::QVariantList)
            errore(QStringLiteral("Value: attesa una tabella di valori"));
        const QVariantList righe = valore.toList();
        const int altezza = m_area.r2 - m_area.r1 + 1;
        const int larghezza = m_area.c2 - m_area.c1 + 1;
        if (righe.size() != altezza)
            errore(QStringLiteral("Value: %1 righe per un intervallo di %2").arg(righe.size()).arg(altezza));
        Foglio& f = *m_area.foglio;
        for (int r = 0; r < altezza; ++r) {
            const QVariant& riga = righe[r];
            if (riga.metaType().id() != QMetaType::QVariantList || riga.toList().size() != larghezza)
                errore(QStringLiteral("Value: riga %1 non valida").arg(r + 1));
            const QVariantList valori = riga.toList();
            for (int c = 0; c < larghezza; ++c) {
                Cella& cella = f.cella(m_area.r1 + r, m_area.c1 + c);
                const QString t = valori[c].toString();
                bool numero = false;
                const double n = cella.formatoTesto ? 0.0 : t.toDouble(&numero);
                if (t.isEmpty()) {
                    cella.tipo = Cella::Tipo::Vuota;
                    cella.testo.clear();
                } else if (numero && std::isfinite(n)) {
                    // As the spreadsheet program does with a text arriving in a cell of the general format.
                    cella.tipo = Cella::Tipo::Numero;
                    cella.numero = n;
                    cella.testo = t;
                } else {
                    cella.tipo = Cella::Tipo::Testo;
                    cella.testo = t;
                }
            }
        }
    }

    void adattaColonne()
    {
        Foglio& f = *m_area.foglio;
        for (int c = m_area.c1; c <= m_area.c2; ++c) {
            qsizetype piu = 0;
            for (const std::vector<Cella>& riga : f.righe) {
                if (size_t(c) < riga.size() && riga[size_t(c)].tipo != Cella::Tipo::Vuota)
                    piu = std::max(piu, riga[size_t(c)].testo.size() + (riga[size_t(c)].grassetto ? 1 : 0));
            }
            // An empty column keeps its width; otherwise about one character unit per character, with margin.
            if (piu > 0)
                f.larghezze[c] = std::min(255.0, double(piu) * 1.1 + 1.0);
        }
    }

    Area m_area;
};

class FoglioDiLavoro final : public Oggetto
{
public:
    FoglioDiLavoro(std::shared_ptr<Stato> stato, std::shared_ptr<Foglio> foglio)
        : Oggetto(std::move(stato)), m_foglio(std::move(foglio))
    {
    }

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        if (kind == Kind::Put && uguale(membro, "Name")) {
            argomenti(membro, args, 1);
            const QString nome = testo(args[0]);
            static const QString vietati = QStringLiteral("[]:*?/\\");
            if (nome.isEmpty() || nome.size() > 31 || nome.startsWith(u'\'') || nome.endsWith(u'\'') ||
                std::any_of(nome.begin(), nome.end(), [](QChar c) { return vietati.contains(c); }))
                errore(QStringLiteral("Nome di foglio non valido: %1").arg(nome));
            m_foglio->nome = nome;
            return {};
        }
        if (kind == Kind::Get && uguale(membro, "Range")) {
            if (args.size() != 1 && args.size() != 2)
                argomenti(membro, args, 2);
            Area area{.foglio = m_foglio};
            cellaDaIndirizzo(testo(args[0]), area.r1, area.c1);
            cellaDaIndirizzo(testo(args.size() == 2 ? args[1] : args[0]), area.r2, area.c2);
            if (area.r2 < area.r1)
                std::swap(area.r1, area.r2);
            if (area.c2 < area.c1)
                std::swap(area.c1, area.c2);
            return wrap(std::make_shared<Intervallo>(m_stato, area));
        }
        sconosciuto(kind, membro);
    }

private:
    std::shared_ptr<Foglio> m_foglio;
};

class CartellaDiLavoro final : public Oggetto
{
public:
    CartellaDiLavoro(std::shared_ptr<Stato> stato, std::shared_ptr<Cartella> cartella)
        : Oggetto(std::move(stato)), m_cartella(std::move(cartella))
    {
    }

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        if (kind == Kind::Get && uguale(membro, "WorkSheets")) {
            argomenti(membro, args, 1);
            const int n = intero(args[0]);
            if (n < 1 || size_t(n) > m_cartella->fogli.size())
                errore(QStringLiteral("Foglio %1 inesistente").arg(n));
            return wrap(std::make_shared<FoglioDiLavoro>(m_stato, m_cartella->fogli[size_t(n) - 1]));
        }
        sconosciuto(kind, membro);
    }

private:
    std::shared_ptr<Cartella> m_cartella;
};

class CartelleDiLavoro final : public Oggetto
{
public:
    using Oggetto::Oggetto;

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        if (kind == Kind::Call && uguale(membro, "Add")) {
            if (args.size() > 1)
                argomenti(membro, args, 1);
            if (!args.isEmpty() && intero(args[0]) != kUnFoglio)
                errore(QStringLiteral("Modello di cartella non supportato: %1").arg(args[0].toString()));
            auto cartella = std::make_shared<Cartella>();
            auto foglio = std::make_shared<Foglio>();
            foglio->nome = QStringLiteral("Foglio1");
            cartella->fogli.push_back(foglio);
            m_stato->cartelle.push_back(cartella);
            m_stato->attivo = foglio;
            m_stato->haSelezione = false;
            return wrap(std::make_shared<CartellaDiLavoro>(m_stato, cartella));
        }
        sconosciuto(kind, membro);
    }
};

lxw_format* formato(lxw_workbook* wb, std::map<int, lxw_format*>& formati, const Cella& c)
{
    const int chiave = (c.formatoTesto ? 1 : 0) | (c.grassetto ? 2 : 0);
    if (chiave == 0)
        return nullptr;
    auto it = formati.find(chiave);
    if (it != formati.end())
        return it->second;
    lxw_format* f = workbook_add_format(wb);
    if (c.formatoTesto)
        format_set_num_format_index(f, 49); // the built-in text format "@"
    if (c.grassetto)
        format_set_bold(f);
    formati[chiave] = f;
    return f;
}

bool salvaCartella(const Cartella& cartella, const QString& percorso, QString* motivo)
{
#ifdef Q_OS_WIN
    // libxlsxwriter opens its file by a UTF-8 name there (built with its Windows path): the ANSI code page that
    // encodeName gives would lose a user folder such as C:\Users\Niccolò.
    const QByteArray nomeFile = QDir::toNativeSeparators(percorso).toUtf8();
#else
    const QByteArray nomeFile = QFile::encodeName(percorso);
#endif
    // Rows go out in order, so the workbook need not hold the whole sheet a second time.
    lxw_workbook_options opzioni{.constant_memory = LXW_TRUE, .tmpdir = nullptr, .use_zip64 = LXW_FALSE};
    lxw_workbook* wb = workbook_new_opt(nomeFile.constData(), &opzioni);
    if (!wb) {
        *motivo = QStringLiteral("Impossibile creare %1").arg(percorso);
        return false;
    }
    std::map<int, lxw_format*> formati;
    for (const std::shared_ptr<Foglio>& f : cartella.fogli) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, f->nome.toUtf8().constData());
        if (!ws) {
            workbook_close(wb);
            *motivo = QStringLiteral("Foglio non valido: %1").arg(f->nome);
            return false;
        }
        for (const auto& [colonna, larghezza] : f->larghezze)
            worksheet_set_column(ws, lxw_col_t(colonna), lxw_col_t(colonna), larghezza, nullptr);
        worksheet_set_selection(ws, lxw_row_t(f->selR1), lxw_col_t(f->selC1), lxw_row_t(f->selR2), lxw_col_t(f->selC2));
        for (size_t r = 0; r < f->righe.size(); ++r) {
            const std::vector<Cella>& riga = f->righe[r];
            for (size_t c = 0; c < riga.size(); ++c) {
                const Cella& cella = riga[c];
                lxw_format* fmt = formato(wb, formati, cella);
                switch (cella.tipo) {
                case Cella::Tipo::Vuota:
                    if (fmt)
                        worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), fmt);
                    break;
                case Cella::Tipo::Numero:
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), cella.numero, fmt);
                    break;
                case Cella::Tipo::Testo:
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), cella.testo.toUtf8().constData(), fmt);
                    break;
                }
            }
        }
    }
    const lxw_error esito = workbook_close(wb);
    if (esito != LXW_NO_ERROR) {
        *motivo = QString::fromUtf8(lxw_strerror(esito));
        return false;
    }
    return true;
}

// The workbooks this run handed to the spreadsheet program. The program reads its copy when it opens one, so
// they are kept while this program runs and removed when it ends (returning from main() or through exit()):
// the temporary folder of the computer keeps nothing of the session.
class CartelleDellaSessione
{
public:
    CartelleDellaSessione() = default;
    CartelleDellaSessione(const CartelleDellaSessione&) = delete;
    CartelleDellaSessione& operator=(const CartelleDellaSessione&) = delete;
    ~CartelleDellaSessione() { rimuoviTutte(); }

    void aggiungi(const QString& percorso) { m_percorsi << percorso; }
    void rimuoviTutte()
    {
        for (const QString& percorso : std::as_const(m_percorsi))
            QFile::remove(percorso);
        m_percorsi.clear();
    }

private:
    QStringList m_percorsi;
};

CartelleDellaSessione& cartelleDellaSessione()
{
    static CartelleDellaSessione cartelle;
    return cartelle;
}

// Each workbook becomes a file of its own that the user may save elsewhere; the spreadsheet program reads it
// after the export has ended, and it goes when this program ends.
void mostra(const Stato& stato)
{
    for (const std::shared_ptr<Cartella>& cartella : stato.cartelle) {
        // The name is reserved, and the file let go of before the workbook writes it: on Windows QTemporaryFile
        // still holds it after close(), and a file held open cannot be written by anyone else there.
        QString percorso;
        {
            QTemporaryFile nome(QDir::tempPath() + QStringLiteral("/Archivio contatti-XXXXXX.xlsx"));
            nome.setAutoRemove(false);
            if (!nome.open())
                errore(nome.errorString());
            percorso = nome.fileName();
        }
        QString motivo;
        if (!salvaCartella(*cartella, percorso, &motivo)) {
            QFile::remove(percorso);
            errore(motivo);
        }
        const XlsxAutomationServer::Opener& apri = opener();
        const bool aperto = apri ? apri(percorso, &motivo) : XlsxAutomationServer::openWithDesktop(percorso, &motivo);
        if (!aperto) {
            QFile::remove(percorso);
            errore(motivo);
        }
        cartelleDellaSessione().aggiungi(percorso);
    }
}

} // namespace

XlsxAutomationServer::XlsxAutomationServer() : m_stato(std::make_shared<Stato>()) {}

XlsxAutomationServer::~XlsxAutomationServer() = default;

void XlsxAutomationServer::removeSessionWorkbooks()
{
    cartelleDellaSessione().rimuoviTutte();
}

XlsxAutomationServer::Opener XlsxAutomationServer::setOpener(Opener nuovo)
{
    Opener prima = opener();
    opener() = std::move(nuovo);
    return prima;
}

bool XlsxAutomationServer::openWithDesktop(const QString& path, QString* error)
{
#if defined(Q_OS_WIN)
    // The shell opens the workbook with the program the user chose for .xlsx, as a double click would; no
    // command line is built, so no name in the path can be read as a command.
    const std::wstring file = QDir::toNativeSeparators(QDir::cleanPath(path)).toStdWString();
    const auto esito =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (esito > 32)
        return true;
    *error = QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(path), qt_error_string(int(::GetLastError())));
    return false;
#else
#if defined(Q_OS_MACOS)
    const QString programma = QStringLiteral("open");
#else
    const QString programma = QStringLiteral("xdg-open");
#endif
    const QStringList argomenti = {path};
    // The opener hands the file over and ends; one that is still running after a while has found its program,
    // and is left to end on its own rather than killed with it.
    auto* processo = new QProcess;
    QObject::connect(processo, &QProcess::finished, processo, &QObject::deleteLater);
    processo->start(programma, argomenti);
    if (!processo->waitForStarted()) {
        *error = processo->errorString();
        processo->deleteLater();
        return false;
    }
    if (!processo->waitForFinished(20000))
        return true;
    if (processo->exitStatus() != QProcess::NormalExit || processo->exitCode() != 0) {
        *error = QStringLiteral("%1 %2 (%3)").arg(programma, path).arg(processo->exitCode());
        return false;
    }
    return true;
#endif
}

QVariant XlsxAutomationServer::invoke(Kind kind, const QString& membro, const QVariantList& args)
{
    if (kind == Kind::Put && uguale(membro, "Visible")) {
        argomenti(membro, args, 1);
        const bool visibile = booleano(args[0]);
        if (visibile && !m_stato->visibile)
            mostra(*m_stato);
        m_stato->visibile = visibile;
        return {};
    }
    if (uguale(membro, "Workbooks")) {
        if (kind == Kind::Call) {
            argomenti(membro, args, 0);
            return wrap(std::make_shared<CartelleDiLavoro>(m_stato));
        }
        if (kind == Kind::Get) {
            argomenti(membro, args, 1);
            const int n = intero(args[0]);
            if (n < 1 || size_t(n) > m_stato->cartelle.size())
                errore(QStringLiteral("Cartella %1 inesistente").arg(n));
            return wrap(std::make_shared<CartellaDiLavoro>(m_stato, m_stato->cartelle[size_t(n) - 1]));
        }
    }
    if (kind == Kind::Call && uguale(membro, "Selection")) {
        argomenti(membro, args, 0);
        if (!m_stato->haSelezione)
            errore(QStringLiteral("Nessuna selezione"));
        return wrap(std::make_shared<Intervallo>(m_stato, m_stato->selezione));
    }
    if ((kind == Kind::Call || kind == Kind::Get) && uguale(membro, "Application")) {
        argomenti(membro, args, 0);
        auto server = std::make_shared<XlsxAutomationServer>();
        server->m_stato = m_stato;
        return wrap(server);
    }
    if (kind == Kind::Get && uguale(membro, "Cells")) {
        argomenti(membro, args, 2);
        const int r = intero(args[0]);
        const int c = intero(args[1]);
        if (!m_stato->attivo || r < 1 || r > kMaxRighe || c < 1 || c > kMaxColonne)
            errore(QStringLiteral("Cella non valida"));
        return wrap(std::make_shared<Intervallo>(m_stato, Area{m_stato->attivo, r - 1, c - 1, r - 1, c - 1}));
    }
    if (kind == Kind::Get && uguale(membro, "Columns")) {
        argomenti(membro, args, 1);
        const QString colonne = testo(args[0]);
        const QStringList parti = colonne.split(u':');
        const int c1 = colonnaDaLettere(parti.value(0));
        const int c2 = colonnaDaLettere(parti.value(parti.size() - 1));
        if (!m_stato->attivo || parti.size() > 2 || c1 < 0 || c2 < 0)
            errore(QStringLiteral("Colonne non valide: %1").arg(colonne));
        return wrap(std::make_shared<Intervallo>(
            m_stato, Area{m_stato->attivo, 0, std::min(c1, c2), kMaxRighe - 1, std::max(c1, c2), true}));
    }
    sconosciuto(kind, membro);
}
