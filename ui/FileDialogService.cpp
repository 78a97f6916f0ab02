#include "ui/FileDialogService.h"

#include <QDir>
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

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QString saveFileName(QWidget* parent, const FileDialogOptions& options) override
    {
        QFileDialog dialog(parent, options.caption, options.folder, options.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
        return ask(dialog, options);
    }

    QString openFileName(QWidget* parent, const FileDialogOptions& options) override
    {
        QFileDialog dialog(parent, options.caption, options.folder, options.filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(options.requireExisting ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        return ask(dialog, options);
    }

private:
    static QString ask(QFileDialog& dialog, const FileDialogOptions& options)
    {
        dialog.setDefaultSuffix(options.defaultSuffix);
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        if (!options.initialFileName.isEmpty())
            dialog.selectFile(options.initialFileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        if (options.selectedFilter)
            *options.selectedFilter = dialog.selectedNameFilter();
        return dialog.selectedFiles().constFirst();
    }
};

} // namespace

FileDialogService& FileDialogService::realService()
{
    static QtFileDialogService service;
    return service;
}

QString FileDialogService::saveFileName(QWidget* parent, const FileDialogOptions& options)
{
    return getSaveFileName(parent, options.caption, options.folder, options.filter, options.defaultSuffix);
}

QString FileDialogService::openFileName(QWidget* parent, const FileDialogOptions& options)
{
    return getOpenFileName(parent, options.caption, options.folder, options.filter);
}
