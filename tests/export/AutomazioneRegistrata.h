#pragma once

#include "export/Automazione.h"

#include <QStringList>

#include <memory>

// A stand-in for the spreadsheet program: it records every request it receives as "object kind Member(type:value,
// ...)", where object is the path of requests that produced it ("app", "app.Workbooks" ...), and answers every
// get and call with a new recorder. It can be told to fail at the request of a given number (from 0).
struct RegistroAutomazione
{
    QStringList richieste;
    QVariant ultimoValore; // the last value put
    int falliscaAl = -1;
};

class AutomazioneRegistrata final : public AutomationObject
{
public:
    AutomazioneRegistrata(std::shared_ptr<RegistroAutomazione> registro, QString nome)
        : m_registro(std::move(registro)), m_nome(std::move(nome))
    {
    }

    static QString descrivi(const QVariant& v)
    {
        const QString tipo = QString::fromLatin1(v.metaType().name());
        if (v.metaType().id() == QMetaType::QVariantList) {
            const QVariantList righe = v.toList();
            return tipo + QStringLiteral(":%1x%2").arg(righe.size()).arg(righe.isEmpty() ? 0 : righe[0].toList().size());
        }
        return tipo + u':' + v.toString();
    }

protected:
    QVariant invoke(Kind kind, const QString& membro, const QVariantList& args) override
    {
        QStringList testi;
        for (const QVariant& a : args)
            testi << descrivi(a);
        const QString tipo = kind == Kind::Get ? QStringLiteral("get") : kind == Kind::Put ? QStringLiteral("put")
                                                                                           : QStringLiteral("call");
        if (m_registro->richieste.size() == m_registro->falliscaAl)
            throw AutomationError(QStringLiteral("richiesta rifiutata"));
        m_registro->richieste << QStringLiteral("%1 %2 %3(%4)").arg(m_nome, tipo, membro, testi.join(QStringLiteral(", ")));
        if (kind == Kind::Put) {
            m_registro->ultimoValore = args.value(0);
            return {};
        }
        return wrap(std::make_shared<AutomazioneRegistrata>(m_registro, m_nome + u'.' + membro));
    }

private:
    std::shared_ptr<RegistroAutomazione> m_registro;
    QString m_nome;
};

// Puts a server in place of a program identifier while it lives, and the previous one back afterwards.
class ServerDiProva
{
public:
    ServerDiProva(const QString& programId, AutomationRegistry::Factory factory)
        : m_programId(programId), m_prima(AutomationRegistry::registerServer(programId, std::move(factory)))
    {
    }
    ~ServerDiProva() { AutomationRegistry::registerServer(m_programId, m_prima); }
    ServerDiProva(const ServerDiProva&) = delete;
    ServerDiProva& operator=(const ServerDiProva&) = delete;

    // A recorder under "Excel.Application", sharing `registro`.
    static AutomationRegistry::Factory registratore(std::shared_ptr<RegistroAutomazione> registro)
    {
        return [registro] { return AutomationRef(std::make_shared<AutomazioneRegistrata>(registro, QStringLiteral("app"))); };
    }

private:
    QString m_programId;
    AutomationRegistry::Factory m_prima;
};
