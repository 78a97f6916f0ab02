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
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
};
