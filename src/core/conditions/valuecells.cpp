// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/valuecells.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "core/host/busypointer.h"
#include "core/host/keys.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/text/leadingnumber.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

namespace {

/// The host's look-up window; hosts without one get a failure that says so.
std::shared_ptr<LookupWindowComponent> lookupWindow()
{
    if (!ComponentRegistry::instance().isRegistered(ComponentId::lookupWindow()))
        throw FilterError(ErrorNumber::ComponentMissing, ComponentId::lookupWindow(),
                          Language::text(Texts::noLookupWindow()));
    return createComponent<LookupWindowComponent>(ComponentId::lookupWindow());
}

std::function<QDate()> &clock()
{
    static std::function<QDate()> c;
    return c;
}

bool isStorageCheck(const QString &screenId)
{
    return screenId.toUpper() == QLatin1String("STORAGECHECK");
}

constexpr int noLookupClass = 0;
constexpr int noLookupClassAlt = -1000;

} // namespace

ValueCells::ValueCells(const HostFields &state, ConditionGrid &grid, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_grid(grid)
{}

void ValueCells::setClock(std::function<QDate()> c)
{
    clock() = std::move(c);
}

QDate ValueCells::today()
{
    return clock() ? clock()() : QDate::currentDate();
}

QDate ValueCells::clockDay()
{
    return clock() ? clock()() : QDate();
}

void ValueCells::SetValueCell(int k, int r)
{
    if (k == -1)
        return;
    constexpr int value = ConditionGrid::ColValue;
    // A question is a text whatever the field; the field's default would overwrite it.
    if (r >= 1 && r <= m_grid.MaxRows() &&
        m_grid.condition().at(r - 1).value.kind() == ValueKind::Asked) {
        m_grid.setCellKind(r, value, CellKind::Text);
        return;
    }
    BusyPointer::Scope busy;
    try {
        if (m_state.SerialUse) {
            m_grid.setCellKind(r, value, CellKind::Text);
            const KeyedValuesPtr d = FieldList::FindFieldDescriptor(m_state, m_grid.catalog(), k);
            const qint32 t = d ? FieldList::intValue(d, QStringLiteral("FDataType")) : 0;
            const qint32 s = d ? FieldList::intValue(d, QStringLiteral("FSysDataType")) : 0;
            if (t == 0 || (t == -10 && s == 0)) {
                m_grid.setCellKind(r, value, CellKind::Integer);
                if (!m_loadingScheme)
                    m_grid.SetCellText(r, value, QStringLiteral("0"));
            } else if (t == 1 || t == 2 || t == 3 || t == -10) {
                if (!m_loadingScheme)
                    m_grid.SetCellText(r, value, QString());
            } else if (t == 4) {
                m_grid.setCellKind(r, value, CellKind::Date);
                if (!m_loadingScheme) {
                    const bool empty =
                        Vocabulary::isEmptyTest(m_grid.GetCellText(r, ConditionGrid::ColCompare));
                    m_grid.SetCellText(r, value, empty ? QString() : today().toString(Qt::ISODate));
                }
            }
        } else {
            m_grid.setCellKind(r, value, CellKind::Text);
            // "(无)" is no item of the host's list: a plain text cell, as for a serial field
            // without a descriptor, rather than one alert per such row of a stored scheme.
            if (k == 0)
                return;
            const KeyedValuesPtr f = FieldList::commonField(m_state, k);
            if (FieldList::intValue(f, QStringLiteral("DataType")) == 200 && !m_loadingScheme)
                m_grid.SetCellText(r, value, QString());
        }
    } catch (const std::exception &) {
        reportCurrentFailure();
    }
}

void ValueCells::reportCurrentFailure()
{
    BusyPointer::restore();
    Q_EMIT failed(describeFailure(std::current_exception()));
}

void ValueCells::guarded(const std::function<void()> &work)
{
    // The grid's events run inside the event loop: a failure ends in one report, never in
    // the host.
    try {
        work();
    } catch (...) {
        reportCurrentFailure();
    }
}

void ValueCells::cellChanged(int c, int r)
{
    guarded([&] {
        if (c == ConditionGrid::ColField) {
            if (m_grid.GetCellText(r, c) == Language::text(Texts::noField())) {
                const bool onlyRow = m_grid.MaxRows() == 1;
                const bool lastRow = r == m_grid.MaxRows();
                m_grid.DeleteRow(r);
                if (r == 1) {
                    m_grid.setCellKind(1, ConditionGrid::ColLogic, CellKind::Text);
                    m_grid.SetCellText(1, ConditionGrid::ColLogic, QString());
                    m_grid.setLocked(1, ConditionGrid::ColLogic, true);
                }
                // The empty row that took the only row's place is already the row for new
                // input.
                if (onlyRow)
                    return;
                // The grid drops the deleted row from its count: without its last row it must
                // still end in an empty row for new input.
                if (lastRow) {
                    m_grid.SetMaxRows(m_grid.MaxRows() + 1);
                    return;
                }
            } else {
                const int k = m_grid.GetComboIndex(r, ConditionGrid::ColField);
                if (m_grid.GetComboIndex(r, ConditionGrid::ColLogic) == -1)
                    m_grid.SetComboIndex(r, ConditionGrid::ColLogic, int(LogicOp::And));
                if (m_grid.GetComboIndex(r, ConditionGrid::ColCompare) == -1)
                    m_grid.SetComboIndex(r, ConditionGrid::ColCompare, int(CompareOp::Equal));
                SetValueCell(k, r);
            }
        } else if (c == ConditionGrid::ColCompare) {
            const bool empty =
                Vocabulary::isEmptyTest(m_grid.GetCellText(r, ConditionGrid::ColCompare));
            if (empty)
                m_grid.SetCellText(r, ConditionGrid::ColValue, QString());
            m_grid.setLocked(r, ConditionGrid::ColValue, empty);
        } else if (c == ConditionGrid::ColValue) {
            if (m_grid.GetComboIndex(r, ConditionGrid::ColField) == -1)
                return;
        }
        if (m_grid.MaxRows() == r)
            m_grid.SetMaxRows(r + 1);
    });
}

void ValueCells::leaveCell(int c, int r, int nc, int nr)
{
    Q_UNUSED(c)
    guarded([&] {
        if (nc != ConditionGrid::ColValue) {
            m_lookupOffered = false;
            showHint(QString());
            return;
        }
        if (m_grid.GetCellText(r, ConditionGrid::ColField) == Language::text(Texts::stateField()))
            SetValueCell(m_grid.GetComboIndex(r, ConditionGrid::ColField), r);
        const int k = m_grid.GetComboIndex(nr, ConditionGrid::ColField);
        if (k <= 0) {
            m_lookupOffered = false;
            showHint(QString());
            return;
        }
        m_lookupOffered = lookupAvailable(k);
        if (m_lookupOffered)
            showHintFor(nr);
        else
            showHint(QString());
    });
}

void ValueCells::keyDown(int keyCode)
{
    guarded([&] {
        const int r = m_grid.activeRow();
        if (m_grid.isLocked(r, ConditionGrid::ColValue)) {
            showHint(QString());
            return;
        }
        const int k = m_grid.GetComboIndex(r, ConditionGrid::ColField);
        if (!m_lookupOffered && k > 0 && lookupAvailable(k)) {
            m_lookupOffered = true;
            showHintFor(r);
            // In serial mode this key press only switches the hint on.
            if (m_state.SerialUse)
                return;
        }
        if (keyCode == Keys::F7 && m_lookupOffered)
            lookup(r);
    });
}

bool ValueCells::lookupAvailable(int k) const
{
    if (!m_state.SerialUse) {
        const qint32 cls =
            FieldList::intValue(FieldList::commonField(m_state, k), QStringLiteral("ItemClass"));
        return cls != noLookupClass && cls != noLookupClassAlt;
    }
    if (k < 0 || k >= m_state.FieldIDs.size())
        return false;
    const double target = Numbers::leadingNumber(m_state.FieldIDs.at(k));
    for (const QString &name : {QStringLiteral("Header"), QStringLiteral("Entry")}) {
        const DescriptionGroupPtr fields = FieldList::group(m_state, name);
        for (int i = fields->LBound(); i <= fields->UBound(); ++i) {
            const KeyedValuesPtr d = fields->Item(i);
            if (Numbers::leadingNumber(Values::toText(d->get(QStringLiteral("FPropID")))) != target)
                continue;
            const qint32 t = FieldList::intValue(d, QStringLiteral("FDataType"));
            if (t == 2 || t == 3)
                return true;
        }
    }
    return false;
}

QStringList ValueCells::unknownLookupValues(int r, const QStringList &values) const
{
    const FieldCatalog &catalog = m_grid.catalog();
    const int k = m_grid.GetComboIndex(r, ConditionGrid::ColField);
    if (k < 1 || values.isEmpty() || !catalog.hasLookUp(k) ||
        !ComponentRegistry::instance().isRegistered(ComponentId::lookupWindow()))
        return {};
    // The values are what F7 would write into the cell: names, or numbers for a common field
    // that is not shown by its name.
    LookupCheck check;
    check.lookupClass = catalog.lookUpClass(k);
    if (catalog.serialUse()) {
        check.subMessages = catalog.dataType(k) == 3;
    } else {
        const KeyedValuesPtr f = catalog.descriptor(k);
        check.byNumber = !f || !Values::toBool(f->get(QStringLiteral("IsName")));
    }
    return lookupWindow()->unknownValues(check, values);
}

void ValueCells::showHint(const QString &text)
{
    m_hint = text;
    Q_EMIT hintChanged(text);
}

void ValueCells::showHintFor(int r)
{
    showHint(m_grid.GetCellText(r, ConditionGrid::ColField) + Language::text(Texts::lookupHint()));
}

void ValueCells::lookup(int r)
{
    if (m_grid.isLocked(r, ConditionGrid::ColValue))
        return;
    // Serial mode looks up the field of row r, common mode that of the active row; both
    // write into the active row.
    const int k =
        m_grid.GetComboIndex(m_state.SerialUse ? r : m_grid.activeRow(), ConditionGrid::ColField);
    if (const std::optional<QString> value = lookedUp(k))
        m_grid.SetCellText(m_grid.activeRow(), ConditionGrid::ColValue, *value);
}

std::optional<QString> ValueCells::lookupValue(int k)
{
    std::optional<QString> value;
    guarded([&] { value = lookedUp(k); });
    return value;
}

std::optional<QString> ValueCells::lookedUp(int k) const
{
    return m_state.SerialUse ? lookupSerial(k) : lookupCommon(k);
}

std::optional<QString> ValueCells::lookupSerial(int k) const
{
    if (k < 1)
        return std::nullopt;
    const KeyedValuesPtr d = FieldList::FindFieldDescriptor(m_state, m_grid.catalog(), k);
    if (!d)
        return std::nullopt;
    const qint32 t = FieldList::intValue(d, QStringLiteral("FDataType"));
    qint32 cls = FieldList::intValue(d, QStringLiteral("FLookUpClsID"));
    LookupResult result;
    if (t == 2) {
        KeyedValuesPtr options = KeyedValues::create();
        options->set(QStringLiteral("GetDataType"), qint32(1));
        options->set(QStringLiteral("Refresh"), true);
        auto window = lookupWindow();
        result = window->itemlookup(cls, QString(), options);
    } else if (t == 3) {
        auto window = lookupWindow();
        result = window->SubMesLookup(cls);
    } else {
        return std::nullopt;
    }
    if (!result.ReturnOK)
        return std::nullopt;
    return result.ReturnObject.Name;
}

std::optional<QString> ValueCells::lookupCommon(int k) const
{
    if (k == -1 || k == 0)
        return std::nullopt;
    const KeyedValuesPtr f = FieldList::commonField(m_state, k);
    const qint32 itemClass = FieldList::intValue(f, QStringLiteral("ItemClass"));
    if (itemClass == noLookupClass || itemClass == noLookupClassAlt)
        return std::nullopt;
    qint32 cls = itemClass; // handed by reference; what the window writes back is not read
    KeyedValuesPtr options = KeyedValues::create();
    options->set(QStringLiteral("GetDataType"),
                 qint32(Values::toBool(f->get(QStringLiteral("Detail"))) ? 1 : 0));
    options->set(QStringLiteral("Refresh"), true);
    auto window = lookupWindow();
    const QVariant filterValue = f->get(QStringLiteral("Filter"));
    QVariant filter = QString();
    if (filterValue.metaType() == QMetaType::fromType<KeyedValuesPtr>()) {
        const KeyedValuesPtr filterObject = filterValue.value<KeyedValuesPtr>();
        if (filterObject && Values::toBool(filterObject->get(QStringLiteral("Lookup"))))
            filter = filterValue;
    }
    const LookupResult result = window->itemlookup(cls, filter, options);
    if (!result.ReturnOK)
        return std::nullopt;
    if (Values::toBool(f->get(QStringLiteral("IsName"))))
        return isStorageCheck(m_state.ScreenID) && itemClass == 5 ? result.ReturnObject.FullName
                                                                  : result.ReturnObject.Name;
    return result.ReturnObject.Number;
}

} // namespace NxSerialFilter
