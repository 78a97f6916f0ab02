#pragma once

#include <QString>

#include <memory>

class QPaintDevice;

// The default printer of the system, behind one service so that tests can hand out a recorder instead.
class PrinterService
{
public:
    // A printer made ready for one job. A QPainter begun on device() starts the job and its first page;
    // ending the painter ends the job.
    class Printer
    {
    public:
        virtual ~Printer() = default;
        virtual QPaintDevice* device() = 0;
        virtual bool newPage() = 0;
        // The reason the printer refused the job or a page, as far as the printing system tells it.
        virtual QString errorString() const = 0;
    };

    virtual ~PrinterService() = default;

    static PrinterService& current();
    // Installs a replacement (a test double); nullptr puts the real printer back.
    static void setCurrent(PrinterService* service);

    // The system's default printer in landscape with colour output requested; null, with the reason in
    // `error`, when there is none.
    virtual std::unique_ptr<Printer> defaultPrinter(QString* error) = 0;
};
