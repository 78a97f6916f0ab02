#include "export/Automazione.h"

#include "export/XlsxAutomationServer.h"

#include <QHash>

AutomationRef AutomationObject::object(const QVariant& result)
{
    if (!result.canConvert<AutomationRef>())
        throw AutomationError(QStringLiteral("Il membro non ha restituito un oggetto"));
    AutomationRef oggetto = result.value<AutomationRef>();
    if (!oggetto)
        throw AutomationError(QStringLiteral("Il membro non ha restituito un oggetto"));
    return oggetto;
}

QVariant AutomationObject::wrap(AutomationRef object)
{
    return QVariant::fromValue(std::move(object));
}

namespace {

QHash<QString, AutomationRegistry::Factory>& servers()
{
    // The built-in servers are put here on first use rather than by static objects, which a static library
    // would leave out of the program.
    static QHash<QString, AutomationRegistry::Factory> tabella = {
        {QStringLiteral("Excel.Application"), [] { return AutomationRef(std::make_shared<XlsxAutomationServer>()); }},
    };
    return tabella;
}

} // namespace

AutomationRegistry::Factory AutomationRegistry::registerServer(const QString& programId, Factory factory)
{
    Factory prima = servers().value(programId);
    if (factory)
        servers().insert(programId, std::move(factory));
    else
        servers().remove(programId);
    return prima;
}

AutomationRef AutomationRegistry::create(const QString& programId)
{
    const Factory factory = servers().value(programId);
    if (!factory)
        throw AutomationError(QStringLiteral("Nessun programma registrato come %1").arg(programId));
    AutomationRef oggetto = factory();
    if (!oggetto)
        throw AutomationError(QStringLiteral("Il programma %1 non si avvia").arg(programId));
    return oggetto;
}
