#pragma once

#include "export/Automazione.h"

#include <QString>

#include <functional>
#include <memory>

// What answers "Excel.Application" where no spreadsheet program offers automation: a workbook kept in memory
// that honours exactly the requests of the export (Visible, Workbooks.Add, Workbooks(n).WorkSheets(n), Name,
// Range, Select, Selection, NumberFormat "@", Value, Application, Cells, Font.Bold, Columns, EntireColumn,
// AutoFit) and fails on any other member, like a real automation server. When Visible becomes true it writes each
// workbook to a temporary .xlsx file and hands it to the desktop's default spreadsheet program; the files go when
// the program ends.
class XlsxAutomationServer : public AutomationObject
{
public:
    // Opens a finished workbook file; false, with a reason, when no program took it.
    using Opener = std::function<bool(const QString& path, QString* error)>;

    XlsxAutomationServer();
    ~XlsxAutomationServer() override;

    // The desktop's default program (xdg-open on Linux). Tests put a recorder in its place; returns the one
    // replaced. An empty opener restores the desktop's.
    static Opener setOpener(Opener opener);
    static bool openWithDesktop(const QString& path, QString* error);
    // Removes the workbook files handed to the desktop so far; the end of the program does it by itself.
    static void removeSessionWorkbooks();

    struct Stato;

protected:
    QVariant invoke(Kind kind, const QString& member, const QVariantList& args) override;

private:
    std::shared_ptr<Stato> m_stato;
};
