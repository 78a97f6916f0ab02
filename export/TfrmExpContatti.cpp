#include "export/TfrmExpContatti.h"

#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

TfrmExpContatti::TfrmExpContatti(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmExpContatti"));
    applyFrame(this, {.caption = QStringLiteral(" Esportazione rubrica contatti"),
                      .clientSize = QSize(783, 505),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = true,
                      .helpContext = HelpContext::kRubrica});
    setHelpTopic(this, HelpTopicId::Export);
}
