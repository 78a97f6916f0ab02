#include "ui/FileDialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QSettings>

namespace {

class QtFileDialogService final : public FileDialogService
{
public:
    QtFileDialogService()
    {
        // Qt's dialog saves its state through QSettings in the user's scope whenever it closes. That scope is
        // given a place that can never be a folder, so the writes fail quietly, nothing is created, and every
        // dialog opens with nothing remembered of other programs either.
        QSettings::setDefaultFormat(QSettings::IniFormat);
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, QProcess::nullDevice());
    }

    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                            const QString& defaultSuffix) override
    {
        return saveFileName(parent,
                            {.caption = caption, .folder = folder, .filter = filter, .defaultSuffix = defaultSuffix});
    }

    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                            const QString& filter) override
    {
        return openFileName(parent, {.caption = caption, .folder = folder, .filter = filter});
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
        dialog.setOption(QFileDialog::DontUseNativeDialog);
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
