#pragma once

#include <QDialog>

// The backup and restore window. Its content comes with backup and restore.
class TfrmBakContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmBakContatti(const QString& appDir, QWidget* parent = nullptr);

private:
    QString m_appDir;
};
