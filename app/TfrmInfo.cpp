#include "app/TfrmInfo.h"

#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

TfrmInfo::TfrmInfo(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmInfo"));
    applyFrame(this, {.caption = QStringLiteral(" Informazioni su Carnetto 4.0"),
                      .clientSize = QSize(472, 479),
                      .background = WindowFrame::silver(),
                      .border = WindowFrame::Border::SingleFixed,
                      .minimiseButton = false,
                      .helpContext = HelpContext::kInformazioni});
}
