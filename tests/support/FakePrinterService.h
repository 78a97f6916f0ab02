#pragma once

#include "ui/PrinterService.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QString>

#include <climits>
#include <cmath>
#include <memory>

// A printer that keeps what is drawn on it: every text with its page, font and the top-left corner of its
// text (the baseline QPainter hands over, less the font's ascent), in device pixels. Its resolution, page size
// and failures are the test's to choose.
class StampanteRegistrata final : public QPaintDevice
{
public:
    struct Testo
    {
        int pagina;
        QString testo;
        QString famiglia;
        qreal punti;
        bool grassetto;
        bool sottolineato;
        QColor colore;
        int x;
        int y;
        bool puntatoreAttesa; // the hourglass was showing while the text was drawn
    };

    int dpi = 600;
    // The printable area of an A4 sheet in landscape at 600 dots per inch, less the usual margins.
    int larghezza = 6814;
    int altezza = 4760;
    bool rifiutaInizio = false;
    int paginaCheFallisce = -1; // newPage() to this page index fails

    QList<Testo> testi;
    int pagine = 0; // pages begun
    int lavori = 0; // jobs begun
    int lavoriChiusi = 0;

    StampanteRegistrata() : m_engine(this) {}
    ~StampanteRegistrata() override = default;

    QPaintEngine* paintEngine() const override { return const_cast<Motore*>(&m_engine); }

    bool nuovaPagina()
    {
        if (pagine == paginaCheFallisce)
            return false;
        ++pagine;
        return true;
    }

protected:
    int metric(PaintDeviceMetric metrica) const override
    {
        switch (metrica) {
        case PdmWidth:
            return larghezza;
        case PdmHeight:
            return altezza;
        case PdmWidthMM:
            return int(std::lround(larghezza * 25.4 / dpi));
        case PdmHeightMM:
            return int(std::lround(altezza * 25.4 / dpi));
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Motore final : public QPaintEngine
    {
    public:
        explicit Motore(StampanteRegistrata* stampante) : QPaintEngine(AllFeatures), m_stampante(stampante) {}

        bool begin(QPaintDevice*) override
        {
            if (m_stampante->rifiutaInizio)
                return false;
            ++m_stampante->lavori;
            m_stampante->pagine = 1;
            return true;
        }
        bool end() override
        {
            ++m_stampante->lavoriChiusi;
            return true;
        }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override
        {
            const QFont font = item.font();
            m_stampante->testi.append({m_stampante->pagine - 1, item.text(), font.family(), font.pointSizeF(),
                                       font.bold(), font.underline(), painter()->pen().color(), int(std::lround(p.x())),
                                       int(std::lround(p.y() - item.ascent())), attesa()});
        }
        Type type() const override { return User; }
        static bool attesa()
        {
            const QCursor* c = QGuiApplication::overrideCursor();
            return c && c->shape() == Qt::WaitCursor;
        }

    private:
        StampanteRegistrata* m_stampante;
    };

    Motore m_engine;
};

// Hands out the recorder as the default printer, or no printer at all. Installed for its lifetime.
class FakePrinterService final : public PrinterService
{
public:
    FakePrinterService() { PrinterService::setCurrent(this); }
    ~FakePrinterService() override { PrinterService::setCurrent(nullptr); }

    // No default printer: defaultPrinter() fails with `erroreNessuna`.
    bool nessunaStampante = false;
    QString erroreNessuna = QStringLiteral("Nessuna stampante di prova");
    QString erroreRifiuto = QStringLiteral("La stampante di prova rifiuta il lavoro");
    int richieste = 0;
    StampanteRegistrata stampante;

    std::unique_ptr<Printer> defaultPrinter(QString* error) override
    {
        ++richieste;
        if (nessunaStampante) {
            if (error)
                *error = erroreNessuna;
            return nullptr;
        }
        return std::make_unique<Handle>(this);
    }

private:
    class Handle final : public Printer
    {
    public:
        explicit Handle(FakePrinterService* service) : m_service(service) {}
        QPaintDevice* device() override { return &m_service->stampante; }
        bool newPage() override { return m_service->stampante.nuovaPagina(); }
        QString errorString() const override { return m_service->erroreRifiuto; }

    private:
        FakePrinterService* m_service;
    };
};
