#pragma once

#include "ui/ServiceSlot.h"

#include <QString>

class QWidget;

// What a file picker shows and allows beyond the plain calls below. The defaults are those of the plain calls.
struct FileDialogOptions
{
    QString caption;
    QString folder; // empty: the system's default
    // Qt's form, "Text (*.a *.b)", entries separated by ";;". The dialogs match the patterns with letter case
    // ignored, so "*.bkc" also offers "COPIA.BKC".
    QString filter;
    QString initialFileName; // proposed in the name box; empty: none
    QString defaultSuffix;
    bool confirmOverwrite = true; // save: asks before replacing an existing file
    bool requireExisting = true;  // open: only an existing file can be chosen
    // Qt's dialogs have no "open read-only" box; a caller that needs none says so here all the same.
    bool readOnlyBox = false;
    // When set, receives the filter entry the user had chosen when the dialog was accepted (one entry of
    // `filter`, as written there); left as it is on a cancel.
    QString* selectedFilter = nullptr;
};

// Every file picker of the program goes through here, so that tests can choose the file.
class FileDialogService : public ServiceSlot<FileDialogService>
{
public:
    virtual ~FileDialogService() = default;

    // Qt's own file dialogs (never the desktop's, which keep their own history of the files chosen), matching
    // patterns with letter case ignored. What Qt's dialog remembers (history, last folder, view) it would write
    // into the user's QtProject.conf; the program, carried from computer to computer, leaves nothing there.
    static FileDialogService& realService();

    // An empty result means the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;

    // The same with every setting spelled out. The plain calls' doubles keep working: by default these
    // forward to them, leaving out what they cannot express.
    virtual QString saveFileName(QWidget* parent, const FileDialogOptions& options);
    virtual QString openFileName(QWidget* parent, const FileDialogOptions& options);
};
