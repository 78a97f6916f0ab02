#include "ui/PrinterService.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class QtPrinter final : public PrinterService::Printer
{
public:
    explicit QtPrinter(const QPrinterInfo& info) : m_printer(info, QPrinter::HighResolution)
    {
        m_printer.setColorMode(QPrinter::Color);
        m_printer.setPageOrientation(QPageLayout::Landscape);
        m_printer.setDocName(QStringLiteral("Rubrica contatti"));
        m_nome = info.printerName();
    }

    QPaintDevice* device() override { return &m_printer; }
    bool newPage() override { return m_printer.newPage(); }
    QString errorString() const override
    {
        return QStringLiteral("La stampante \"%1\" non ha accettato il lavoro di stampa.").arg(m_nome);
    }

private:
    QPrinter m_printer;
    QString m_nome;
};

class QtPrinterService final : public PrinterService
{
public:
    std::unique_ptr<Printer> defaultPrinter(QString* error) override
    {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            if (error)
                *error = QStringLiteral("Nessuna stampante predefinita è installata nel sistema.");
            return nullptr;
        }
        return std::make_unique<QtPrinter>(info);
    }
};

PrinterService* g_current = nullptr;

} // namespace

PrinterService& PrinterService::current()
{
    static QtPrinterService real;
    return g_current ? *g_current : real;
}

void PrinterService::setCurrent(PrinterService* service)
{
    g_current = service;
}
