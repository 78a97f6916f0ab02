#include "backup/TfrmBakContatti.h"

#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

TfrmBakContatti::TfrmBakContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmBakContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Backup / Ripristino rubrica contatti"),
                      .clientSize = QSize(697, 393),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::Dialog,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kBackup});
}
