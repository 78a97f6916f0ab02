#include "app/Forms.h"

#include "app/HelpKey.h"
#include "app/HelpTopics.h"
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
#include "sync/TfrmSincronizza.h"

#include <type_traits>

namespace {
Forms* g_forms = nullptr;

// Shows a non-modal window in front, with the keyboard.
void bringToFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

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
    m_carnetto = create<TfrmCarnetto>();
    m_contatti = create<TfrmContatti>();
    m_codFisc = create<TfrmCodFisc>();
    m_bakContatti = create<TfrmBakContatti>();
    m_expContatti = create<TfrmExpContatti>();
    m_iva = create<TfrmIva>();
    m_trovaContatti = create<TfrmTrovaContatti>();
    m_info = create<TfrmInfo>();
    m_helpForm = create<TfrmHelpForm>();
    m_splash = create<TfrmSplash>();
    // Beyond the ten: the synchronisation window, opened from the main menu and the card window.
    m_sincronizza = std::make_unique<TfrmSincronizza>(m_appDir);
    m_helpKey = std::make_unique<HelpKey>(m_helpForm.get(), nullptr);
    connectWindows();
}

// Every connection is direct: a window opened modally in answer to a request has closed again when the
// requesting handler goes on, exactly as if the handler had opened it itself.
void Forms::connectWindows()
{
    TfrmHelpForm* help = m_helpForm.get();
    auto showHelp = [help](HelpTopicId topic) { help->showTopic(helpTopicText(topic)); };

    TfrmCarnetto* menu = m_carnetto.get();
    QObject::connect(menu, &TfrmCarnetto::contattiRichiesti, menu, [this] { bringToFront(m_contatti.get()); });
    QObject::connect(menu, &TfrmCarnetto::backupRichiesto, menu, [this] { m_bakContatti->exec(); });
    QObject::connect(menu, &TfrmCarnetto::esportaRichiesta, menu, [this] { m_expContatti->exec(); });
    QObject::connect(menu, &TfrmCarnetto::informazioniRichieste, menu, [this] { m_info->exec(); });
    QObject::connect(menu, &TfrmCarnetto::creditiRichiesti, menu, [this] { m_splash->exec(); });
    QObject::connect(menu, &TfrmCarnetto::guidaRichiesta, menu, showHelp);
    QObject::connect(menu, &TfrmCarnetto::sincronizzaRichiesta, menu, [this] { m_sincronizza->exec(); });

    TfrmContatti* cards = m_contatti.get();
    QObject::connect(cards, &TfrmContatti::chiusa, cards, [menu] { bringToFront(menu); });
    QObject::connect(cards, &TfrmContatti::cercaRichiesta, cards, [this] { m_trovaContatti->apri(); });
    QObject::connect(m_trovaContatti.get(), &TfrmTrovaContatti::schedaScelta, cards, &TfrmContatti::caricaScheda);
    QObject::connect(cards, &TfrmContatti::esportaRichiesta, cards, [this] { m_expContatti->exec(); });
    QObject::connect(cards, &TfrmContatti::backupRichiesto, cards, [this] { m_bakContatti->exec(); });
    QObject::connect(cards, &TfrmContatti::guidaRichiesta, cards, showHelp);
    QObject::connect(cards, &TfrmContatti::sincronizzaRichiesta, cards, [this] { m_sincronizza->exec(); });
    // A restore replaces the archive under the card window, so it shows no card from before.
    QObject::connect(m_bakContatti.get(), &TfrmBakContatti::ripristinoEseguito, cards,
                     [cards] { cards->pulisciScheda(); });

    TfrmExpContatti* esporta = m_expContatti.get();
    QObject::connect(esporta, &TfrmExpContatti::guidaRichiesta, esporta, showHelp);
}

Forms::~Forms()
{
    m_helpKey.reset();
    m_sincronizza.reset();
    m_splash.reset();
    m_helpForm.reset();
    m_info.reset();
    m_trovaContatti.reset();
    m_iva.reset();
    m_expContatti.reset();
    m_bakContatti.reset();
    m_codFisc.reset();
    m_contatti.reset();
    m_carnetto.reset();
    g_forms = nullptr;
}

Forms& Forms::instance()
{
    Q_ASSERT(g_forms);
    return *g_forms;
}

TfrmCarnetto* frmCarnetto()
{
    return Forms::instance().m_carnetto.get();
}
TfrmContatti* frmContatti()
{
    return Forms::instance().m_contatti.get();
}
TfrmCodFisc* frmCodFisc()
{
    return Forms::instance().m_codFisc.get();
}
TfrmBakContatti* frmBakContatti()
{
    return Forms::instance().m_bakContatti.get();
}
TfrmExpContatti* frmExpContatti()
{
    return Forms::instance().m_expContatti.get();
}
TfrmIva* frmIva()
{
    return Forms::instance().m_iva.get();
}
TfrmTrovaContatti* frmTrovaContatti()
{
    return Forms::instance().m_trovaContatti.get();
}
TfrmInfo* frmInfo()
{
    return Forms::instance().m_info.get();
}
TfrmHelpForm* frmHelpForm()
{
    return Forms::instance().m_helpForm.get();
}
TfrmSplash* frmSplash()
{
    return Forms::instance().m_splash.get();
}
TfrmSincronizza* frmSincronizza()
{
    return Forms::instance().m_sincronizza.get();
}
