// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/schemeservice.h>

#include "core/support/defaultcomponents.h"
#include "core/support/texts.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemestore.h>

namespace NxSerialFilter {

QVariant SchemeWriterComponent::RenameFilter(const QString &, const QString &, qint32,
                                             const QString &)
{
    // A host's own service written before renames existed keeps working without them.
    throw FilterError(ErrorNumber::MemberMissing, QStringLiteral("RenameFilter"),
                      Texts::componentWrongType() + QStringLiteral("RenameFilter"));
}

namespace {

/// The store as the read side opens it: creating nothing, so that a reader needs no right to
/// write the store's folder or file.
SchemeStore reader(const QString &propsString)
{
    return SchemeStore(SchemeStore::locationFor(propsString), SchemeStore::Access::ReadOnly);
}

/// The default service: the scheme store named by the context property "SCHEMEDB".
class StoreReader : public SchemeReaderComponent
{
public:
    QVariant FilterExists(const QString &propsString, const QString &screenId,
                          const QString &name) override
    {
        return reader(propsString).exists(screenId, name);
    }

    RecordSetPtr GetFilters(const QString &propsString, const QString &screenId) override
    {
        QList<QVariantList> rows;
        const auto schemes = reader(propsString).schemes(screenId);
        rows.reserve(schemes.size());
        // Beyond what the service promises: who owns each scheme, for the dialog's list.
        for (const StoredScheme &s : schemes)
            rows.append(
                {s.FID, s.FFilterName, s.rights.owner, s.rights.shared, s.rights.mayChange});
        return std::make_shared<RecordSet>(
            QStringList{QStringLiteral("FID"), QStringLiteral("FFilterName"),
                        QStringLiteral("FOwner"), QStringLiteral("FShared"),
                        QStringLiteral("FMayChange")},
            std::move(rows));
    }

    RecordSetPtr GetFilterByID(const QString &propsString, qint32 id) override
    {
        QList<QVariantList> rows;
        if (const auto text = reader(propsString).text(id))
            rows.append({id, *text});
        return std::make_shared<RecordSet>(
            QStringList{QStringLiteral("FID"), QStringLiteral("FFilter")}, std::move(rows));
    }
};

class StoreWriter : public SchemeWriterComponent
{
public:
    void UpdateFilter(const QString &propsString, const KeyedValuesPtr &record) override
    {
        if (!record)
            throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("UpdateFilter"),
                              Texts::objectNotSet() + QStringLiteral("SchemeRecord"));
        StoredScheme scheme;
        scheme.FScreenID = Values::toText(record->get(QStringLiteral("FScreenID")));
        scheme.FFilterName = Values::toText(record->get(QStringLiteral("FFilterName")));
        // The record carries the text with its quotes doubled; the store keeps the grid's text.
        scheme.FFilter = Values::toText(record->get(QStringLiteral("FFilter")));
        scheme.FFilter.replace(QStringLiteral("''"), QStringLiteral("'"));
        scheme.FSort = Values::toText(record->get(QStringLiteral("FSort")));
        const bool isNew = Values::toBool(record->get(QStringLiteral("IsNew")));
        const qint32 id = isNew ? 0 : record->get(QStringLiteral("mFilterID")).toInt();
        SchemeStore(SchemeStore::locationFor(propsString)).save(scheme, id);
    }

    QVariant DeleteFilter(const QString &propsString, qint32 id) override
    {
        return SchemeStore(SchemeStore::locationFor(propsString)).remove(id);
    }

    QVariant RenameFilter(const QString &propsString, const QString &screenId, qint32 id,
                          const QString &name) override
    {
        return SchemeStore(SchemeStore::locationFor(propsString)).rename(id, screenId, name);
    }
};

const DefaultComponent readerRegistration(ComponentId::schemeReader(),
                                          [] { return std::make_shared<StoreReader>(); });
const DefaultComponent writerRegistration(ComponentId::schemeWriter(),
                                          [] { return std::make_shared<StoreWriter>(); });

} // namespace

} // namespace NxSerialFilter
