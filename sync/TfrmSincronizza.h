#pragma once

#include "sync/Sincronizzazione.h"

#include <QDialog>

#include <atomic>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

// The synchronisation window: the server's address, the user name and the password (asked for once a run of
// the program, kept in memory only), the address book to use, then a progress bar with a cancel button while
// it runs, and the summary at the end. The work runs beside the window, which stays responsive; conflicts and
// the question before a mass deletion come to the person as message boxes.
class TfrmSincronizza : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSincronizza(const QString& appDir, QWidget* parent = nullptr);
    ~TfrmSincronizza() override;

    QLineEdit* txtServer;
    QLineEdit* txtUtente;
    QLineEdit* txtPassword;
    QComboBox* cmbRubrica;
    QPushButton* cmdCerca;
    QProgressBar* prgAvanzamento;
    QLabel* lblAvanzamento;
    QLabel* lblRiepilogo;
    QPushButton* cmdSincronizza;
    QPushButton* cmdAnnulla;
    QPushButton* cmdChiudi;

    void FormShow();
    void cmdCercaClick();
    void cmdSincronizzaClick();
    void cmdAnnullaClick();

    bool inCorso() const { return m_lavoro != nullptr; }

Q_SIGNALS:
    // A synchronisation ended, successful or not: the archive may have changed.
    void sincronizzazioneFinita();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QUrl indirizzo() const;
    bool httpConsentito(const QUrl& url);
    void cercaRubriche(bool sincronizzaDopo);
    StatoSync statoPer(const Rubrica& rubrica, const QString& utente) const;
    void avvia(StatoSync stato);
    void avviaLavoro();
    void mostraInCorso(bool si);
    void finita(const RiepilogoSync& riepilogo, const StatoSync& stato, const QByteArray& rifiutato);
    bool accettaCertificato(const QByteArray& impronta);
    bool indirizzoSenzaPassword(const QUrl& url);
    SceltaConflitto chiedi(const Conflitto& conflitto);

    QString m_appDir;
    QString m_password;       // for this run of the program only
    QByteArray m_certificato; // the server certificate the person accepted in this window, "AB:CD:…"
    QList<Rubrica> m_rubriche;
    QThread* m_lavoro = nullptr;
    std::atomic<ClientCardDav*> m_client{nullptr};
};
