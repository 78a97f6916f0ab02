#include "ui/FileDialogService.h"

#include <QFileDialog>

namespace {

class QtFileDialogService final : public FileDialogService
{
public:
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                            const QString& defaultSuffix) override
    {
        QFileDialog dialog(parent, caption, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString getSaveFileNameReplacing(QWidget* parent, const QString& caption, const QString& folder,
                                     const QString& filter) override
    {
        QFileDialog dialog(parent, caption, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
};

QtFileDialogService& realService()
{
    static QtFileDialogService service;
    return service;
}

FileDialogService* g_current = nullptr;

} // namespace

FileDialogService& FileDialogService::current()
{
    return g_current ? *g_current : realService();
}

void FileDialogService::setCurrent(FileDialogService* service)
{
    g_current = service;
}
