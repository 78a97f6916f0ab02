#pragma once

#include "ui/ServiceSlot.h"

#include <QString>

class QWidget;

// Every file picker of the program goes through here, so that tests can choose the file.
class FileDialogService : public ServiceSlot<FileDialogService>
{
public:
    virtual ~FileDialogService() = default;

    // The file dialogs of Qt.
    static FileDialogService& realService();

    // An empty result means the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
};
