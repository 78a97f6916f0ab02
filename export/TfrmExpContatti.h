#pragma once

#include <QDialog>

// The export window. Its table and exports come with the export.
class TfrmExpContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmExpContatti(const QString& appDir, QWidget* parent = nullptr);

private:
    QString m_appDir;
};
