#pragma once

#include <QDialog>

// The credits window. Creating it also sets the application help file.
class TfrmSplash : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSplash(const QString& appDir, QWidget* parent = nullptr);

private:
    void FormCreate();

    QString m_appDir;
};
