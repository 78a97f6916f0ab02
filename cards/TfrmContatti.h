#pragma once

#include "archive/TestiScheda.h"
#include "cards/ArchivioSchede.h"
#include "ui/HelpContext.h"

#include <QWidget>

#include <array>

class ActiveLabel;
class FocusHighlight;
class HoverHints;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QPushButton;

// The card window: one contact card at a time in sixteen edit boxes. Between actions it remembers only
// the position label; which card is shown, whether a save appends or overwrites and which card a
// deletion removes all follow from that text. Other windows are asked for through its signals.
class TfrmContatti : public QWidget
{
    Q_OBJECT

public:
    // cartella: the folder of the archive.
    explicit TfrmContatti(const QString& cartella, QWidget* parent = nullptr);

    QLineEdit* campo(Campo c) const { return m_campi[c]; }
    TestiScheda testi() const;
    // Puts a record into the boxes as typing would (the boxes' change rules run) and shows its position. The
    // record's bytes are kept: a save or a deletion first checks that the archive still holds them there.
    void caricaScheda(const TSchedaContatto& scheda, const QString& posizione);
    void pulisciScheda();
    // Imports the cards of a vCard file (dropped on the window or given to the program): the whole file is read
    // first, the person asked, then the cards appended to the archive and the first of them shown.
    void importaVCard(const QString& percorso);
    // The local .vcf file a drag carries, or an empty text: only those are taken.
    static QString fileVCard(const QMimeData* dati);

    QGroupBox* grpControlli;
    QLabel* panInfo;
    QLabel* lblPosizione;
    QLineEdit* txtCognome;
    QLineEdit* txtEmail;
    QLineEdit* txtWeb;
    QLineEdit* txtCodFisc;
    QLineEdit* txtIva;
    QPushButton* cmdEmail;
    QPushButton* cmdWeb;
    QPushButton* cmdChkCodFisc;
    QPushButton* cmdChkIva;
    QPushButton* cmdSincronizza;

    void FormShow();
    void FormClose();
    void imgNuovoMouseUp();
    void imgSalvaMouseUp();
    void imgTrovaMouseUp();
    void imgExcelMouseUp();
    void imgEsportaMouseUp();
    void imgEliminaMouseUp();
    void imgGuidaMouseUp();
    void imgEsciMouseUp();
    void imgPrimoMouseUp();
    void imgIndietroMouseUp();
    void imgAvantiMouseUp();
    void imgUltimoMouseUp();

    void txtWebExit();
    void txtWebChange();
    void txtEmailChange();
    void txtCodFiscChange();
    void txtIvaChange();
    bool txtIvaKeyPress(QChar carattere);
    void cmdWebClick();
    void cmdEmailClick();
    void cmdChkCodFiscClick();
    void cmdChkIvaClick();
    void cmdSincronizzaClick();

Q_SIGNALS:
    // What the window asks of the rest of the program. Each is connected directly, so a window opened
    // modally in answer has closed again when the emit returns.
    void chiusa();
    void cercaRichiesta();
    void esportaRichiesta();
    // Emitted after the card on screen was cleared.
    void backupRichiesto();
    void guidaRichiesta(HelpTopicId topic);
    // Emitted after the card on screen was cleared.
    void sincronizzaRichiesta();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The edit boxes would take a dropped file's name as text; a vCard file is the window's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaComandi();
    void creaCampi();
    void creaNavigazione();
    QLineEdit* creaCampo(QWidget* gruppo, Campo c, const QRect& geometria);
    QPushButton* creaPulsante(QWidget* gruppo, const QString& nome, const QString& testo,
                              const QString& nomeAccessibile, const QRect& geometria, const QString& suggerimento);
    void collegaPulsante(ActiveLabel* immagine, ActiveLabel* didascalia, void (TfrmContatti::*gestore)());
    void scorri(Scorrimento direzione);
    void messaggio(const QString& testo);
    // A save or a deletion that wrote nothing: the card that changed meanwhile is shown again, and why is said.
    void esitoNonScritto(const EsitoScrittura& esito);

    QString m_cartella;
    // The record as it was loaded at the position shown, or as this window last wrote it there.
    TSchedaContatto m_caricata{};
    std::array<QLineEdit*, kNumeroCampi> m_campi{};
    FocusHighlight* m_evidenziazione;
    HoverHints* m_suggerimenti;
};
