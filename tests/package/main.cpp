// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// A host built against the installed package only: it registers its own scheme store,
// composes a saved scheme's condition without a window, and creates the dialog's Filter.

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/filter.h>
#include <NxSerialFilter/schemeservice.h>
#include <NxSerialFilter/storedconditions.h>

#include <QApplication>

#include <cstdio>

using namespace NxSerialFilter;

namespace {

/// The host's own store: one scheme, kept in memory.
class HostSchemes : public SchemeReaderComponent
{
public:
    QVariant FilterExists(const QString &, const QString &, const QString &name) override
    {
        return name == QLatin1String("big");
    }
    RecordSetPtr GetFilters(const QString &, const QString &screenId) override
    {
        QList<QVariantList> rows;
        if (screenId == QLatin1String("Serial_12"))
            rows.append({7, QStringLiteral("big")});
        return std::make_shared<RecordSet>(
            QStringList{QStringLiteral("FID"), QStringLiteral("FFilterName")}, rows);
    }
    RecordSetPtr GetFilterByID(const QString &, qint32 id) override
    {
        QList<QVariantList> rows;
        if (id == 7)
            rows.append({QStringLiteral("\t\t数量\t大于\t50\t\t")});
        return std::make_shared<RecordSet>(QStringList{QStringLiteral("FFilter")}, rows);
    }
};

} // namespace

int main(int argc, char **argv)
{
    ContextStore::setPropsString(QStringLiteral("LANGUAGE=chs;"));
    ComponentRegistry::instance().registerFactory(ComponentId::schemeReader(),
                                                  [] { return std::make_shared<HostSchemes>(); });
    const KeyedValuesPtr fields = DescriptionJson::parse(R"({"SerialUse": true,
        "SerialclassID": 12,
        "Header": [{"FPropID": 3, "FSQLColumnName": "FQTY", "FPropname": "数量",
                    "FPreDefine": 0, "FDataType": 0}],
        "Entry": []})");
    const ConditionComposer composer = ConditionComposer::forDescription(fields);

    // Headless, before any application object exists.
    const ComposedCondition typed = composer.compose(QStringLiteral("\t\t数量\t等于\t5\t\t"));
    const ComposedCondition stored = StoredConditions::compose(composer, QStringLiteral("big"));
    const ComposedCondition refused = composer.compose(QStringLiteral("\t((\t数量\t等于\t5\t\t"));
    std::printf("%s\n%s\n%s\n", qPrintable(typed.sql), qPrintable(stored.sql),
                qPrintable(refused.error));

    QApplication app(argc, argv);
    Filter filter;
    const BoundCondition query = filter.FilterQuery(SqlEngine::PostgreSQL, Placeholders::Dollar);
    const bool ok = typed.sql == QLatin1String(" ( (tf.FQTY = 5) ) ") &&
                    stored.sql == QLatin1String(" ( (tf.FQTY > 50) ) ") &&
                    refused.failure == ComposedCondition::Failure::Condition &&
                    !refused.error.isEmpty() && filter.FilterSQL().isEmpty() &&
                    query.sql.isEmpty() &&
                    stored.query.sql == QLatin1String(" ( (tf.FQTY > ?) ) ") && !filter.Cancel() &&
                    ComponentRegistry::instance().isRegistered(ComponentId::filter());
    return ok ? 0 : 1;
}
