#pragma once

#include "ui/HelpContext.h"

#include <QFrame>
#include <QWidget>

class ActiveLabel;
class QFrame;
class QMovie;

// The main menu: the program's main window. Large pictures open the cards, the backup and the export;
// small icons open the About window, the help, the credits, or end the program.
class TfrmCarnetto : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmCarnetto(const QString& appDir, QWidget* parent = nullptr);

    ActiveLabel* imgContatti;
    ActiveLabel* titContatti;
    ActiveLabel* imgBackup;
    ActiveLabel* titBackup;
    ActiveLabel* imgEsporta;
    ActiveLabel* titEsporta;
    ActiveLabel* imgInfo;
    ActiveLabel* imgGuida;
    ActiveLabel* imgCopyright;
    ActiveLabel* imgEsci;
    ActiveLabel* imgSincronizza;
    ActiveLabel* lblRights;
    ActiveLabel* imgAnimata;

    // The strip playing now; a new one, from its first frame, every time the menu is shown.
    QMovie* strip() const { return m_strip; }

    void LoadAnimatedStrip();

    void imgContattiMouseUp();
    void imgBackupMouseUp();
    void imgEsportaMouseUp();
    void imgInfoMouseUp();
    void imgGuidaMouseUp();
    void imgCopyrightMouseUp();
    void imgEsciMouseUp();
    void imgSincronizzaMouseUp();
    void imgAnimataMouseDown();

Q_SIGNALS:
    // The windows the menu opens; Forms connects them directly, so a modal window has closed again
    // when the emit returns.
    void contattiRichiesti();
    void backupRichiesto();
    void esportaRichiesta();
    void informazioniRichieste();
    void guidaRichiesta(HelpTopicId topic);
    void creditiRichiesti();
    void sincronizzaRichiesta();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* panel(const QString& name, const QRect& geometry, QFrame::Shape shape, QFrame::Shadow shadow);
    ActiveLabel* button(QWidget* parent, const QString& name, const QString& picture, const QString& accessibleName,
                        const QPoint& at);
    void onRelease(ActiveLabel* control, void (TfrmCarnetto::*handler)());

    QMovie* m_strip = nullptr;
};
