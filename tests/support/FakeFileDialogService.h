#pragma once

#include "ui/FileDialogService.h"

#include <QStringList>

// Answers file pickers from a queue of paths (an empty string is a cancel) and records the captions asked.
class FakeFileDialogService final : public FileDialogService
{
public:
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

    QStringList answers;
    QStringList asked;

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};
