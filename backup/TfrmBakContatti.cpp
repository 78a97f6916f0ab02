#include "backup/TfrmBakContatti.h"

#include "archive/MessaggiArchivio.h"
#include "backup/Backup.h"
#include "ui/BusyCursor.h"
#include "ui/FileDialogService.h"
#include "ui/HelpContext.h"
#include "ui/MessageService.h"
#include "ui/Pictures.h"
#include "ui/WindowFrame.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor kNero(0, 0, 0);
const QColor kRosso(255, 0, 0);

// Both dialogs offer backups whatever the letter case of their extension ("COPIA.BKC" too): the program's file
// dialogs match patterns with letter case ignored.
const QString kFiltro = QStringLiteral("Backup contatti (*.bkc)");

QFrame* cornice(QWidget* gruppo, const char* nome, const QRect& geometria, QFrame::Shape forma)
{
    auto* frame = new QFrame(gruppo);
    frame->setObjectName(QLatin1StringView(nome));
    frame->setFrameStyle(forma | (forma == QFrame::HLine ? QFrame::Sunken : QFrame::Plain));
    frame->setGeometry(geometria);
    return frame;
}

} // namespace

TfrmBakContatti::TfrmBakContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmBakContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Backup / Ripristino rubrica contatti"),
                      .clientSize = QSize(697, 393),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::Dialog,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kBackup});
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, kNero);
    setPalette(palette);

    grpControlli = new QGroupBox(this);
    grpControlli->setObjectName(QStringLiteral("grpControlli"));
    grpControlli->setAccessibleName(QStringLiteral("Backup e ripristino"));
    grpControlli->setGeometry(8, 4, 681, 340);

    // The backup section, then the restore section below the line.
    shpBackup = cornice(grpControlli, "shpBackup", QRect(12, 14, 657, 152), QFrame::Box);
    shpBackup->setAccessibleName(QStringLiteral("Backup della rubrica"));
    imgBackup = decorationPicture(grpControlli, QStringLiteral("imgBackup"), QStringLiteral("bak_backup"));
    imgBackup->move(28, 42);
    imgBackup->setAccessibleName(QStringLiteral("Backup"));
    lblInfo =
        testo(grpControlli, "lblInfo",
              QStringLiteral("Utilizzare il pulsante di sotto per effettuare il backup della rubrica dei"), 26, kNero);
    Label1 = testo(grpControlli, "Label1", QStringLiteral("contatti corrente."), 44, kNero);
    Label2 =
        testo(grpControlli, "Label2",
              QStringLiteral("Bisognerà selezionare il percorso della cartella di destinazione in cui"), 68, kNero);
    Label3 =
        testo(grpControlli, "Label3", QStringLiteral("si intende salvare la copia di sicurezza del file."), 86, kNero);
    cmdBackup = pulsante(grpControlli, "cmdBackup", QStringLiteral("Crea file di backup"), QRect(144, 118, 210, 30));

    Bevel1 = cornice(grpControlli, "Bevel1", QRect(12, 171, 657, 2), QFrame::HLine);
    Bevel1->setAccessibleName(QStringLiteral("Separatore"));

    Shape1 = cornice(grpControlli, "Shape1", QRect(12, 178, 657, 152), QFrame::Box);
    Shape1->setAccessibleName(QStringLiteral("Ripristino della rubrica"));
    imgRestore = decorationPicture(grpControlli, QStringLiteral("imgRestore"), QStringLiteral("bak_restore"));
    imgRestore->move(28, 206);
    imgRestore->setAccessibleName(QStringLiteral("Ripristino"));
    Label4 =
        testo(grpControlli, "Label4",
              QStringLiteral("Utilizzare il pulsante di sotto per ripristinare una copia di sicurezza"), 190, kNero);
    Label5 =
        testo(grpControlli, "Label5", QStringLiteral("della rubrica dei contatti creata precedentemente."), 208, kNero);
    Label6 = testo(grpControlli, "Label6",
                   QStringLiteral("Attenzione: il file di backup selezionato sovrascriverà l'archivio"), 232, kRosso);
    Label7 = testo(grpControlli, "Label7", QStringLiteral("attualmente in uso."), 250, kRosso);
    cmdRipristina =
        pulsante(grpControlli, "cmdRipristina", QStringLiteral("Ripristina file di backup"), QRect(144, 282, 210, 30));

    cmdAnnulla = pulsante(this, "cmdAnnulla", QStringLiteral("Annulla"), QRect(589, 355, 100, 30));

    connect(cmdBackup, &QPushButton::clicked, this, &TfrmBakContatti::cmdBackupClick);
    connect(cmdRipristina, &QPushButton::clicked, this, &TfrmBakContatti::cmdRipristinaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmBakContatti::cmdAnnullaClick);
}

QLabel* TfrmBakContatti::testo(QWidget* gruppo, const char* nome, const QString& testo, int y, const QColor& colore)
{
    auto* label = new QLabel(testo, gruppo);
    label->setObjectName(QLatin1StringView(nome));
    label->setFont(verdana(8));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colore);
    label->setPalette(palette);
    label->setAccessibleName(testo);
    label->setGeometry(144, y, 512, 16);
    return label;
}

QPushButton* TfrmBakContatti::pulsante(QWidget* gruppo, const char* nome, const QString& testo, const QRect& geometria)
{
    auto* button = new QPushButton(testo, gruppo);
    button->setObjectName(QLatin1StringView(nome));
    button->setFont(verdana(8));
    button->setCursor(Qt::PointingHandCursor);
    // Out of the tab sequence: a click gives them the focus, Tab never does.
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(false);
    button->setGeometry(geometria);
    return button;
}

void TfrmBakContatti::cmdBackupClick()
{
    FileDialogOptions opzioni;
    opzioni.caption = QStringLiteral("Crea backup rubrica contatti");
    opzioni.filter = kFiltro;
    opzioni.initialFileName = QStringLiteral("Rubrica contatti.bkc");
    opzioni.confirmOverwrite = false;
    const QString scelto = FileDialogService::current().saveFileName(this, opzioni);
    if (scelto.isEmpty())
        return;
    bool riuscito = false;
    {
        BusyCursor clessidra;
        riuscito = Backup::creaBackup(m_appDir, scelto);
    }
    if (!riuscito) {
        MessageService::current().showMessage(this, Backup::messaggioBackupFallito());
        return;
    }
    MessageService::current().showMessage(this, Backup::messaggioBackupRiuscito());
    close();
}

void TfrmBakContatti::cmdRipristinaClick()
{
    FileDialogOptions opzioni;
    opzioni.caption = QStringLiteral("Seleziona archivio contatti da ripristinare");
    opzioni.filter = kFiltro;
    opzioni.requireExisting = false;
    const QString scelto = FileDialogService::current().openFileName(this, opzioni);
    if (scelto.isEmpty())
        return;
    Backup::Ripristino esito = Backup::Ripristino::Fallito;
    QString problema;
    {
        BusyCursor clessidra;
        esito = Backup::ripristinaBackup(m_appDir, scelto, {}, &problema);
    }
    if (esito != Backup::Ripristino::Riuscito) {
        MessageService::current().showMessage(this, esito == Backup::Ripristino::Occupato ? messaggioArchivioOccupato()
                                                    : esito == Backup::Ripristino::Guasto
                                                        ? problema
                                                        : Backup::messaggioRipristinoFallito());
        return;
    }
    Q_EMIT ripristinoEseguito();
    MessageService::current().showMessage(this, Backup::messaggioRipristinoRiuscito());
    close();
}

void TfrmBakContatti::cmdAnnullaClick()
{
    close();
}
