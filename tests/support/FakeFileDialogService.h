#pragma once

#include "ui/FileDialogService.h"

#include <QList>
#include <QStringList>

// Answers file pickers from a queue of paths (an empty string is a cancel) and records what was asked:
// the captions of every picker, and the whole settings of those asked with FileDialogOptions.
class FakeFileDialogService final : public FileDialogService
{
public:
    enum class Kind { Save, Open };
    struct Request
    {
        Kind kind;
        FileDialogOptions options;
    };

    FakeFileDialogService() { FileDialogService::setCurrent(this); }
    ~FakeFileDialogService() override { FileDialogService::setCurrent(nullptr); }

    QString getSaveFileName(QWidget*, const QString& caption, const QString&, const QString&, const QString&) override
    {
        asked << caption;
        return next();
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        asked << caption;
        return next();
    }
    QString saveFileName(QWidget*, const FileDialogOptions& options) override { return record(Kind::Save, options); }
    QString openFileName(QWidget*, const FileDialogOptions& options) override { return record(Kind::Open, options); }

    QStringList answers;
    // The filter entry reported as chosen for each answer, in turn; when none is queued, the first entry of the
    // options' filter, as a dialog shows it at first.
    QStringList chosenFilters;
    QStringList asked;
    QList<Request> requests;

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
    QString record(Kind kind, const FileDialogOptions& options)
    {
        asked << options.caption;
        requests.append({kind, options});
        const QString filtro =
            chosenFilters.isEmpty() ? options.filter.section(QStringLiteral(";;"), 0, 0) : chosenFilters.takeFirst();
        const QString risposta = next();
        if (options.selectedFilter && !risposta.isEmpty())
            *options.selectedFilter = filtro;
        return risposta;
    }
};
