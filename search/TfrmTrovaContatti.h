#pragma once

#include <QDialog>

// The search window. Its list and search come with the search.
class TfrmTrovaContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmTrovaContatti(const QString& appDir, QWidget* parent = nullptr);

private:
    QString m_appDir;
};
