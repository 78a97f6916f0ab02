#include "app/Forms.h"

#include "app/HelpKey.h"

#include "app/TfrmCarnetto.h"
#include "app/TfrmHelpForm.h"
#include "app/TfrmInfo.h"
#include "app/TfrmSplash.h"
#include "backup/TfrmBakContatti.h"
#include "cards/TfrmContatti.h"
#include "checks/TfrmCodFisc.h"
#include "checks/TfrmIva.h"
#include "export/TfrmExpContatti.h"
#include "search/TfrmTrovaContatti.h"

#include <type_traits>

namespace {
Forms* g_forms = nullptr;
}

template <typename Window> std::unique_ptr<Window> Forms::create()
{
    std::unique_ptr<Window> window;
    if constexpr (std::is_constructible_v<Window, QString>)
        window = std::make_unique<Window>(m_appDir);
    else
        window = std::make_unique<Window>();
    m_creationOrder << window->objectName();
    return window;
}

Forms::Forms(const QString& appDir) : m_appDir(appDir)
{
    Q_ASSERT(!g_forms);
    g_forms = this;
    carnetto = create<TfrmCarnetto>();
    contatti = create<TfrmContatti>();
    codFisc = create<TfrmCodFisc>();
    bakContatti = create<TfrmBakContatti>();
    expContatti = create<TfrmExpContatti>();
    iva = create<TfrmIva>();
    trovaContatti = create<TfrmTrovaContatti>();
    info = create<TfrmInfo>();
    helpForm = create<TfrmHelpForm>();
    splash = create<TfrmSplash>();
    m_helpKey = std::make_unique<HelpKey>(nullptr);
}

Forms::~Forms()
{
    m_helpKey.reset();
    splash.reset();
    helpForm.reset();
    info.reset();
    trovaContatti.reset();
    iva.reset();
    expContatti.reset();
    bakContatti.reset();
    codFisc.reset();
    contatti.reset();
    carnetto.reset();
    g_forms = nullptr;
}

Forms& Forms::instance()
{
    Q_ASSERT(g_forms);
    return *g_forms;
}

TfrmCarnetto* frmCarnetto()
{
    return Forms::instance().carnetto.get();
}
TfrmContatti* frmContatti()
{
    return Forms::instance().contatti.get();
}
TfrmCodFisc* frmCodFisc()
{
    return Forms::instance().codFisc.get();
}
TfrmBakContatti* frmBakContatti()
{
    return Forms::instance().bakContatti.get();
}
TfrmExpContatti* frmExpContatti()
{
    return Forms::instance().expContatti.get();
}
TfrmIva* frmIva()
{
    return Forms::instance().iva.get();
}
TfrmTrovaContatti* frmTrovaContatti()
{
    return Forms::instance().trovaContatti.get();
}
TfrmInfo* frmInfo()
{
    return Forms::instance().info.get();
}
TfrmHelpForm* frmHelpForm()
{
    return Forms::instance().helpForm.get();
}
TfrmSplash* frmSplash()
{
    return Forms::instance().splash.get();
}
