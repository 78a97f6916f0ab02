#include "search/TfrmTrovaContatti.h"

#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

TfrmTrovaContatti::TfrmTrovaContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmTrovaContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Ricerca scheda in archivio"),
                      .clientSize = QSize(697, 393),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kRubrica});
    setHelpTopic(this, HelpTopicId::Cards);
}
