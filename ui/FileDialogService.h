#pragma once

#include <QString>

class QWidget;

// Every file picker of the program goes through here, so that tests can choose the file.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;

    static FileDialogService& current();
    static void setCurrent(FileDialogService* service);

    // An empty result means the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    // A save dialog that adds no extension and does not ask before an existing file is chosen, whose content the
    // caller replaces. Doubles that do not tell the two apart get the plain save dialog.
    virtual QString getSaveFileNameReplacing(QWidget* parent, const QString& caption, const QString& folder,
                                             const QString& filter)
    {
        return getSaveFileName(parent, caption, folder, filter, QString());
    }
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
};
