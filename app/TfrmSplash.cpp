#include "app/TfrmSplash.h"

#include "app/Forms.h"
#include "archive/Trim.h"
#include "ui/HelpContext.h"
#include "ui/WindowFrame.h"

TfrmSplash::TfrmSplash(const QString& appDir, QWidget* parent) : QDialog(parent), m_appDir(appDir)
{
    setObjectName(QStringLiteral("frmSplash"));
    applyFrame(this, {.caption = QStringLiteral(" Carnetto 4.0 - Software by Studio Carnetto"),
                      .clientSize = QSize(591, 356),
                      .background = WindowFrame::black(),
                      .border = WindowFrame::Border::Dialog,
                      .placement = WindowFrame::Placement::Fixed,
                      .position = QPoint(359, 140),
                      .helpContext = HelpContext::kCrediti});
    setCursor(Qt::PointingHandCursor);
    FormCreate();
}

void TfrmSplash::FormCreate()
{
    Forms::instance().setHelpFile(Trim(QString(m_appDir + QStringLiteral("/Zettario.hlp"))));
}
