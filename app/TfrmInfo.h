#pragma once

#include <QDialog>

// The About window. Its artwork and links come with the About window.
class TfrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmInfo(const QString& appDir, QWidget* parent = nullptr);

private:
    QString m_appDir;
};
