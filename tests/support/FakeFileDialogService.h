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
    QStringList asked;
    QList<Request> requests;

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
    QString record(Kind kind, const FileDialogOptions& options)
    {
        asked << options.caption;
        requests.append({kind, options});
        return next();
    }
};
