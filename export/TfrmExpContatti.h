#pragma once

#include "export/GrigliaEsportazione.h"
#include "ui/HelpContext.h"

#include <QDialog>

class ActiveLabel;
class HoverHints;
class ModelloGriglia;
class QGroupBox;
class QLabel;
class QTableView;

// The export window: the archive as a table in four views, and the two exports of what the table shows.
class TfrmExpContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmExpContatti(const QString& appDir, QWidget* parent = nullptr);

    const GrigliaEsportazione& griglia() const;

    QGroupBox* grpControlli = nullptr;
    QTableView* grdRecords = nullptr;
    QLabel* panInfo = nullptr;

    // The view links.
    void imgAggiornaMouseUp(); // Persone
    void imgPassateMouseUp();  // Aziende
    void imgWordMouseUp();     // E-mail
    void imgTutteMouseUp();    // Tutti
    void imgExcelMouseUp();
    void imgCSVMouseUp();
    void imgGuidaMouseUp();
    void imgEsciMouseUp();

Q_SIGNALS:
    void guidaRichiesta(HelpTopicId topic);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaComandi();
    void creaGriglia();
    void riempi(GrigliaEsportazione::Vista vista);
    void applicaLarghezze();
    void grdRecordsMouseMove();

    QString m_appDir;
    ModelloGriglia* m_modello = nullptr;
    HoverHints* m_hints = nullptr;
    bool m_applicaLarghezze = false;
};
