// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/schemesource.h"

#include "core/host/defaultcomponents.h"
#include "core/host/hostcall.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/text/quotes.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemeservice.h>

using namespace Qt::Literals::StringLiterals;

namespace NxSerialFilter {

namespace {

/// The store as the read side opens it: creating nothing, so that a reader needs no right to
/// write the store's folder or file.
SchemeStore readStore(const QString &propsString)
{
    return SchemeStore(SchemeStore::locationFor(propsString), SchemeStore::Access::ReadOnly);
}

SchemeStore writeStore(const QString &propsString)
{
    return SchemeStore(SchemeStore::locationFor(propsString));
}

// The record-set form of the data service, which hosts may register their own of. Only here
// does a scheme become a record or records become schemes, and only here are quotes doubled
// (for the record a service receives) and made single again (for the store).

/// A SchemeRecord of the scheme, its text's quotes doubled.
KeyedValuesPtr recordOf(const StoredScheme &scheme, bool isNew)
{
    KeyedValuesPtr record = KeyedValues::create();
    record->set(u"FScreenID"_s, scheme.FScreenID);
    record->set(u"FFilterName"_s, scheme.FFilterName);
    record->set(u"FFilter"_s, quotesDoubled(scheme.FFilter));
    record->set(u"FSort"_s, scheme.FSort);
    record->set(u"IsNew"_s, isNew);
    record->set(u"mFilterID"_s, scheme.FID);
    return record;
}

/// The scheme a SchemeRecord holds, its text as the grid had it; FID is the scheme to replace
/// (0 for a new one).
StoredScheme schemeOf(const KeyedValues &record)
{
    StoredScheme scheme;
    scheme.FScreenID = Values::toText(record.get(u"FScreenID"_s));
    scheme.FFilterName = Values::toText(record.get(u"FFilterName"_s));
    scheme.FFilter = Values::toText(record.get(u"FFilter"_s));
    scheme.FFilter.replace(u"''"_s, u"'"_s);
    scheme.FSort = Values::toText(record.get(u"FSort"_s));
    const bool isNew = Values::toBool(record.get(u"IsNew"_s));
    scheme.FID = isNew ? 0 : record.get(u"mFilterID"_s).toInt();
    return scheme;
}

/// The schemes in the records of GetFilters (no texts); rights where the service gives them.
QList<StoredScheme> schemesOf(RecordSet &records, const QString &screen,
                              std::exception_ptr *partFailure)
{
    QList<StoredScheme> found;
    const bool withRights = hostCall(u"GetFilters"_s, [&] {
        return records.hasField(u"FOwner"_s) && records.hasField(u"FShared"_s) &&
               records.hasField(u"FMayChange"_s);
    });
    try {
        hostCall(u"GetFilters"_s, [&] {
            for (; !records.Eof(); records.MoveNext()) {
                StoredScheme scheme;
                scheme.FID = records.Fields(u"FID"_s).Value.toInt();
                scheme.FScreenID = screen;
                scheme.FFilterName = Values::toText(records.Fields(u"FFilterName"_s).Value);
                // A service that keeps no owners gives the user's own schemes, as a file does.
                scheme.rights.own = !withRights;
                if (withRights)
                    scheme.rights = {Values::toText(records.Fields(u"FOwner"_s).Value),
                                     Values::toBool(records.Fields(u"FShared"_s).Value),
                                     Values::toBool(records.Fields(u"FMayChange"_s).Value)};
                found.append(scheme);
            }
        });
    } catch (const std::exception &) {
        if (!partFailure)
            throw;
        *partFailure = std::current_exception();
    }
    return found;
}

/// The default service: the scheme store named by the context property "SCHEMEDB".
class StoreReader : public SchemeReaderComponent
{
public:
    QVariant FilterExists(const QString &propsString, const QString &screenId,
                          const QString &name) override
    {
        return readStore(propsString).exists(screenId, name);
    }

    RecordSetPtr GetFilters(const QString &propsString, const QString &screenId) override
    {
        QList<QVariantList> rows;
        const auto schemes = readStore(propsString).schemes(screenId);
        rows.reserve(schemes.size());
        // Beyond what the service promises: who owns each scheme.
        for (const StoredScheme &s : schemes)
            rows.append(
                {s.FID, s.FFilterName, s.rights.owner, s.rights.shared, s.rights.mayChange});
        return std::make_shared<RecordSet>(
            QStringList{u"FID"_s, u"FFilterName"_s, u"FOwner"_s, u"FShared"_s, u"FMayChange"_s},
            std::move(rows));
    }

    RecordSetPtr GetFilterByID(const QString &propsString, qint32 id) override
    {
        QList<QVariantList> rows;
        if (const auto text = readStore(propsString).text(id))
            rows.append({id, *text});
        return std::make_shared<RecordSet>(QStringList{u"FID"_s, u"FFilter"_s}, std::move(rows));
    }
};

class StoreWriter : public SchemeWriterComponent
{
public:
    void UpdateFilter(const QString &propsString, const KeyedValuesPtr &record) override
    {
        if (!record)
            throw FilterError(ErrorNumber::ObjectNotSet, u"UpdateFilter"_s,
                              Texts::objectNotSet() + u"SchemeRecord"_s);
        const StoredScheme scheme = schemeOf(*record);
        writeStore(propsString).save(scheme, scheme.FID);
    }

    QVariant DeleteFilter(const QString &propsString, qint32 id) override
    {
        return writeStore(propsString).remove(id);
    }

    QVariant RenameFilter(const QString &propsString, const QString &screenId, qint32 id,
                          const QString &name) override
    {
        return writeStore(propsString).rename(id, screenId, name);
    }
};

const DefaultComponent readerRegistration(ComponentId::schemeReader(),
                                          [] { return std::make_shared<StoreReader>(); });
const DefaultComponent writerRegistration(ComponentId::schemeWriter(),
                                          [] { return std::make_shared<StoreWriter>(); });

std::shared_ptr<SchemeReaderComponent> reader()
{
    return createComponent<SchemeReaderComponent>(ComponentId::schemeReader());
}

std::shared_ptr<SchemeWriterComponent> writer()
{
    return createComponent<SchemeWriterComponent>(ComponentId::schemeWriter());
}

/// Whether a service is the default one, whose store is spoken to in values.
bool isStore(const SchemeReaderComponent &service)
{
    return dynamic_cast<const StoreReader *>(&service) != nullptr;
}

bool isStore(const SchemeWriterComponent &service)
{
    return dynamic_cast<const StoreWriter *>(&service) != nullptr;
}

/// Throws when a host's service answered no record set.
RecordSet &answered(const RecordSetPtr &records, const QString &operation)
{
    if (!records)
        throw FilterError(ErrorNumber::ObjectNotSet, operation, Texts::objectNotSet() + operation);
    return *records;
}

/// SchemeSource::pick, for idOf and the dialog alike.
qint32 pickScheme(const QList<StoredScheme> &schemes, const QString &name)
{
    // Ranks: 0 the user's own, 1 without owner, 2 another's shared one, 3 another's private
    // one (which only an administrator sees); the first of the best rank wins unless that rank
    // holds schemes of several owners.
    const QString wanted = trimSpaces(name);
    const StoredScheme *best = nullptr;
    int bestRank = 4;
    QStringList owners;
    for (const StoredScheme &s : schemes) {
        if (trimSpaces(s.FFilterName) != wanted)
            continue;
        const int rank = s.rights.own ? 0 : s.rights.owner.isEmpty() ? 1 : s.rights.shared ? 2 : 3;
        if (rank < bestRank) {
            best = &s;
            bestRank = rank;
            owners.clear();
        }
        if (rank == bestRank && !owners.contains(s.rights.owner))
            owners.append(s.rights.owner);
    }
    if (!best)
        return 0;
    if (bestRank >= 2 && owners.size() > 1)
        throw FilterError(SchemeStore::FailureNumber, u"SchemeStore"_s,
                          Language::text(Texts::schemeNameOfSeveral()) +
                              SchemeStore::printable(wanted) + u"（"_s +
                              Language::text(Texts::schemeOwnerTip()) +
                              SchemeStore::printable(owners.join(u", "_s)) + u"）"_s);
    return best->FID;
}

/// The one source: the services are asked for at each call, as a host may register its own
/// between two.
class ServiceSchemes final : public SchemeSource
{
public:
    QList<StoredScheme> schemes(const QString &screen, std::exception_ptr *partFailure) override
    {
        RecordSetPtr records;
        {
            // The service object is released before its records are read.
            auto service = reader();
            const QString props = HostContext::propsString();
            if (isStore(*service)) {
                service.reset();
                return readStore(props).schemes(screen);
            }
            records = hostCall(u"GetFilters"_s, [&] { return service->GetFilters(props, screen); });
        }
        RecordSetCloser closer(records);
        return schemesOf(answered(records, u"GetFilters"_s), screen, partFailure);
    }

    QString text(qint32 id) override
    {
        RecordSetPtr records;
        {
            auto service = reader();
            const QString props = HostContext::propsString();
            if (isStore(*service)) {
                service.reset();
                if (const auto stored = readStore(props).text(id))
                    return *stored;
                throw FilterError(SchemeStore::FailureNumber, u"SchemeStore"_s,
                                  SchemeStore::notFoundMessage(id));
            }
            records =
                hostCall(u"GetFilterByID"_s, [&] { return service->GetFilterByID(props, id); });
        }
        RecordSetCloser closer(records);
        const QVariant stored = hostCall(u"GetFilterByID"_s, [&] {
            return answered(records, u"GetFilterByID"_s).Fields(u"FFilter"_s).Value;
        });
        if (stored.isNull())
            throw FilterError(ErrorNumber::TypeMismatch, u"FFilter"_s, Texts::notText());
        return Values::toText(stored);
    }

    qint32 idOf(const QString &screen, const QString &name) override
    {
        // A failure after the scheme was found does not matter here.
        std::exception_ptr failure;
        const QList<StoredScheme> found = schemes(screen, &failure);
        // A scheme of another may win only when the user's own could not have been left out.
        if (failure) {
            for (const StoredScheme &s : found) {
                if (s.rights.own && trimSpaces(s.FFilterName) == trimSpaces(name))
                    return s.FID;
            }
            std::rethrow_exception(failure);
        }
        return pickScheme(found, name);
    }

    qint32 pick(const QList<StoredScheme> &schemes, const QString &name) const override
    {
        return pickScheme(schemes, name);
    }

    bool exists(const QString &screen, const QString &name) override
    {
        auto service = reader();
        const QString props = HostContext::propsString();
        if (isStore(*service))
            return readStore(props).exists(screen, name);
        return Values::toBool(hostCall(u"FilterExists"_s,
                                       [&] { return service->FilterExists(props, screen, name); }));
    }

    qint32 save(const StoredScheme &scheme, bool isNew) override
    {
        auto service = writer();
        const QString props = HostContext::propsString();
        if (isStore(*service))
            return writeStore(props).save(scheme, isNew ? 0 : scheme.FID);
        hostCall(u"UpdateFilter"_s, [&] { service->UpdateFilter(props, recordOf(scheme, isNew)); });
        return 0;
    }

    bool remove(qint32 id) override
    {
        auto service = writer();
        const QString props = HostContext::propsString();
        if (isStore(*service))
            return writeStore(props).remove(id);
        return Values::toBool(
            hostCall(u"DeleteFilter"_s, [&] { return service->DeleteFilter(props, id); }));
    }

    bool rename(qint32 id, const QString &screen, const QString &name) override
    {
        auto service = writer();
        const QString props = HostContext::propsString();
        if (isStore(*service))
            return writeStore(props).rename(id, screen, name);
        return Values::toBool(hostCall(
            u"RenameFilter"_s, [&] { return service->RenameFilter(props, screen, id, name); }));
    }

    bool keepsDefaults() override
    {
        // Both sides must be the store's: a host may register its own writer over the default
        // reader, and the reverse.
        try {
            return isStore(*reader()) && isStore(*writer());
        } catch (const std::exception &) { // no service registered: no defaults either
            return false;
        }
    }

    bool setDefault(qint32 id, const QString &screen, bool isDefault) override
    {
        if (!keepsDefaults())
            return false;
        return writeStore(HostContext::propsString()).setDefault(id, screen, isDefault);
    }
};

} // namespace

SchemeSource &SchemeSource::instance()
{
    static ServiceSchemes source;
    return source;
}

} // namespace NxSerialFilter
