#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>
#include <stdexcept>

// Late-bound automation: an object whose members are reached by name at the moment of the call, with variant
// arguments, as a spreadsheet program offers them. An object that a member returns travels inside the result
// as an AutomationRef. Any failure, an unknown member or unexpected arguments included, is an AutomationError.
class AutomationError : public std::runtime_error
{
public:
    explicit AutomationError(const QString& testo) : std::runtime_error(testo.toStdString()) {}
};

class AutomationObject;
using AutomationRef = std::shared_ptr<AutomationObject>;

class AutomationObject
{
public:
    enum class Kind { Get, Put, Call };

    virtual ~AutomationObject() = default;

    // Reads a property; `args` index it (Workbooks(1), Cells(1, 2)).
    QVariant get(const QString& member, const QVariantList& args = {}) { return invoke(Kind::Get, member, args); }
    // Sets a property; the value comes last in the arguments the object receives.
    void put(const QString& member, const QVariant& value) { invoke(Kind::Put, member, {value}); }
    QVariant call(const QString& member, const QVariantList& args = {}) { return invoke(Kind::Call, member, args); }

    // The object an earlier request returned; an AutomationError when it returned none.
    static AutomationRef object(const QVariant& result);
    static QVariant wrap(AutomationRef object);

protected:
    virtual QVariant invoke(Kind kind, const QString& member, const QVariantList& args) = 0;
};

Q_DECLARE_METATYPE(AutomationRef)

// Program identifiers and what serves them. "Excel.Application" is served by the workbook backend unless a test
// puts something else in its place.
namespace AutomationRegistry {

using Factory = std::function<AutomationRef()>;

// Replaces the server of an identifier; an empty factory takes it away. Returns the one it replaced.
Factory registerServer(const QString& programId, Factory factory);
// A new object of the identifier; an AutomationError when nothing serves it or the server cannot start.
AutomationRef create(const QString& programId);

} // namespace AutomationRegistry
