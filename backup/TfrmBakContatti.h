#pragma once

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// The backup and restore window: copies the archive to a backup file the user chooses, or a backup file
// over the archive. It keeps nothing between openings.
class TfrmBakContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmBakContatti(const QString& appDir, QWidget* parent = nullptr);

    QGroupBox* grpControlli;
    QFrame* shpBackup;
    QLabel* imgBackup;
    QLabel* lblInfo;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* cmdBackup;
    QFrame* Bevel1;
    QFrame* Shape1;
    QLabel* imgRestore;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QPushButton* cmdRipristina;
    QPushButton* cmdAnnulla;

    void cmdBackupClick();
    void cmdRipristinaClick();
    void cmdAnnullaClick();

Q_SIGNALS:
    // The archive was replaced by a backup: whatever a window shows of the old one is gone.
    void ripristinoEseguito();

private:
    QLabel* testo(QWidget* gruppo, const char* nome, const QString& testo, int y, const QColor& colore);
    QPushButton* pulsante(QWidget* gruppo, const char* nome, const QString& testo, const QRect& geometria);

    QString m_appDir;
};
