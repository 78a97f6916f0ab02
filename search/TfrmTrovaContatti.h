#pragma once

#include "archive/TestiScheda.h"
#include "search/ListaContatti.h"

#include <QDialog>

class FocusHighlight;
class ModelloRighe;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class VistaRighe;

// The search window: every card of the archive as one line of a sorted list, a search by any fragment of a
// line, the card of a double-clicked line handed back to the card window, and the printed list. The list is a
// snapshot built each time the window opens.
class TfrmTrovaContatti : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmTrovaContatti(const QString& appDir, QWidget* parent = nullptr);

    // Fills the list from the archive and shows the window modally. When the archive fails, the archive
    // message is shown and the window is not; returns QDialog::Rejected then.
    int apri();
    // The list filled from the archive, without showing the window. False, with the list empty, on failure.
    bool riempiLista();
    const ListaContatti& lista() const { return m_lista; }

    QLabel* lblInfo01;
    QLabel* lblInfo02;
    QFrame* shpTrova;
    QLabel* imgLente;
    QLineEdit* txtTrova;
    QPushButton* cmdTrova;
    VistaRighe* lstRecords;
    QLabel* lblInfo03;
    QPushButton* cmdStampa;
    QPushButton* cmdImporta;

    void FormShow();
    void cmdTrovaClick();
    void lstRecordsDblClick();
    void cmdStampaClick();
    void cmdImportaClick();

Q_SIGNALS:
    // A card whose line equals the chosen one, with its 1-based position in the archive as text. Emitted for
    // every such card in the order of the file, so the one that stays loaded is the latest.
    void schedaScelta(const TSchedaContatto& scheda, const QString& posizione);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* creaEtichetta(const QString& nome, const QString& testo, const QPoint& posizione, const QColor& colore);
    QPushButton* creaPulsante(const QString& nome, const QString& testo, const QRect& geometria);

    QString m_appDir;
    ListaContatti m_lista;
    ModelloRighe* m_modello;
    FocusHighlight* m_focus;
    // The key of the latest search, already lowered; emptied at each showing.
    QString m_ultimaChiave;
};
