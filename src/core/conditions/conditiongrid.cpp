// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/conditiongrid.h"

#include "core/conditions/fieldcompare.h"
#include "core/conditions/datetext.h"
#include "core/conditions/offrows.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/text/texts.h"
#include "core/text/spaces.h"

#include <QRegularExpression>

namespace NxSerialFilter {

namespace {

constexpr std::array<int, ConditionGrid::ColumnCount + 1> widthsTwips{0,   570,  645, 1110,
                                                                      900, 1185, 0,   645};

bool isListKind(CellKind kind)
{
    return kind == CellKind::List || kind == CellKind::ListText;
}

const QRegularExpression &wholeNumber()
{
    static const QRegularExpression whole(QStringLiteral("^-?\\d+$"));
    return whole;
}

/// The list position a logic, field or comparison cell chose; -1 for none.
int chosenPosition(const ConditionRow &row, int col)
{
    switch (col) {
    case ConditionGrid::ColLogic:
        return int(row.logic);
    case ConditionGrid::ColField:
        return row.field;
    default:
        return int(row.compare);
    }
}

/// Makes a logic, field or comparison cell choose position at (-1 for none); false, and no
/// choice, when the condition has no operation at that position.
bool choose(ConditionRow &row, int col, int at)
{
    switch (col) {
    case ConditionGrid::ColLogic:
        row.logic = at >= 0 && at <= int(LogicOp::Or) ? LogicOp(at) : LogicOp::None;
        return row.logic != LogicOp::None;
    case ConditionGrid::ColField:
        row.field = std::max(at, -1);
        return row.field >= 0;
    default:
        row.compare = at >= 0 && at <= int(CompareOp::NotInList) ? CompareOp(at) : CompareOp::None;
        return row.compare != CompareOp::None;
    }
}

/// The text a logic, field or comparison cell keeps when it chose nothing.
QString &unmatchedWord(ConditionRow &row, int col)
{
    switch (col) {
    case ConditionGrid::ColLogic:
        return row.unmatched.logic;
    case ConditionGrid::ColField:
        return row.unmatched.field;
    default:
        return row.unmatched.compare;
    }
}

const QString &unmatchedWord(const ConditionRow &row, int col)
{
    return unmatchedWord(const_cast<ConditionRow &>(row), col);
}

const QString &crlf()
{
    static const QString s = QStringLiteral("\r\n");
    return s;
}

} // namespace

ConditionGrid::ConditionGrid(QObject *parent)
    : QAbstractTableModel(parent)
{
    resetToDesign();
}

void ConditionGrid::resetToDesign()
{
    beginResetModel();
    m_condition = Condition(QList<ConditionRow>(DesignRowCount));
    m_settings.assign(DesignRowCount, RowSettings{});
    m_catalog = FieldCatalog();
    m_items = {};
    m_items[ColLogic - 1] = Vocabulary::logicItems();
    m_items[ColLeftParen - 1] = Vocabulary::leftParenItems();
    m_items[ColCompare - 1] = Vocabulary::compareItems();
    m_items[ColRightParen - 1] = Vocabulary::rightParenItems();
    m_headers = {Texts::headerLogic(),   QStringLiteral("("),  Texts::headerField(),
                 Texts::headerCompare(), Texts::headerValue(), Texts::headerValueCode(),
                 QStringLiteral(")")};
    firstRowLogicPlain();
    m_activeRow = 1;
    m_activeCol = 1;
    m_block = {};
    m_blockMode = false;
    endResetModel();
}

void ConditionGrid::firstRowLogicPlain()
{
    // The first condition has no logic word.
    CellSettings &firstLogic = m_settings[0][ColLogic - 1];
    firstLogic.kind = qint8(CellKind::Text);
    firstLogic.locked = true;
}

bool ConditionGrid::valid(int row, int col) const
{
    return row >= 1 && row <= MaxRows() && col >= 1 && col <= ColumnCount;
}

ConditionGrid::CellSettings *ConditionGrid::settings(int row, int col)
{
    return valid(row, col) ? &m_settings[size_t(row - 1)][size_t(col - 1)] : nullptr;
}

const ConditionGrid::CellSettings *ConditionGrid::settings(int row, int col) const
{
    return valid(row, col) ? &m_settings[size_t(row - 1)][size_t(col - 1)] : nullptr;
}

void ConditionGrid::notify(int row, int col)
{
    const QModelIndex at = index(row - 1, col - 1);
    Q_EMIT dataChanged(at, at);
}

void ConditionGrid::retype(ConditionRow &row) const
{
    const ValueKind kind = RunFacts::valueKind(m_catalog, row);
    // A field compared with a field stays so until its value is written anew (a stored one
    // the list lacks is the composer's to tell, naming the row).
    if (kind != row.value.kind() && row.value.kind() != ValueKind::Field)
        row.value = ConditionValue::fromText(kind, row.value.text());
}

void ConditionGrid::dropUnusableField(ConditionRow &row) const
{
    // The user's new field or comparison takes no such field: the cell starts empty rather
    // than keep a value that OK would refuse.
    if (row.value.kind() == ValueKind::Field &&
        (!FieldCompare::takesField(row.compare) ||
         !FieldCompare::comparableFields(m_catalog.data(), row.field).contains(row.value.field())))
        row.value = ConditionValue::fromText(rowValueKind(m_catalog, row.field, row.compare), {});
}

void ConditionGrid::setCatalog(const FieldCatalog &catalog)
{
    m_catalog = catalog;
    for (ConditionRow &row : m_condition.rows())
        retype(row);
}

void ConditionGrid::setCondition(const Condition &condition)
{
    beginResetModel();
    m_condition = condition.isEmpty() ? Condition(QList<ConditionRow>(1)) : condition;
    m_settings.assign(size_t(m_condition.size()), RowSettings{});
    for (ConditionRow &row : m_condition.rows()) {
        row.open = cellSafe(row.open);
        row.close = cellSafe(row.close);
        row.code = cellSafe(row.code);
        row.unmatched = {cellSafe(row.unmatched.logic), cellSafe(row.unmatched.field),
                         cellSafe(row.unmatched.compare)};
        // A position the lists do not have is no choice at all.
        if (row.field >= m_items[ColField - 1].size())
            row.field = -1;
        row.value = row.value.kind() == ValueKind::Field
                        ? ConditionValue::ofField(row.value.field(), cellSafe(row.value.text()))
                        : ConditionValue::fromText(RunFacts::valueKind(m_catalog, row),
                                                   cellSafe(row.value.text()));
    }
    // Row 1's logic cell is plain: a logic word there is kept as its text.
    const QString firstLogic = GetCellText(1, ColLogic);
    firstRowLogicPlain();
    writeText(1, ColLogic, CellKind::Text, firstLogic);
    m_activeRow = std::min(m_activeRow, MaxRows());
    endResetModel();
}

int ConditionGrid::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : MaxRows();
}

int ConditionGrid::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ConditionGrid::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return GetCellText(row, col);
    case KindRole:
        return int(cellKind(row, col));
    case LockedRole:
        return isLocked(row, col);
    case ComboIndexRole:
        return GetComboIndex(row, col);
    case ItemsRole:
        return columnItems(col);
    case ValueListRole:
        return col == ColValue && conditionRow(row).value.kind() == ValueKind::List;
    case ValueFieldRole:
        return col == ColValue && conditionRow(row).value.kind() == ValueKind::Field
                   ? QVariant(conditionRow(row).value.field())
                   : QVariant();
    default:
        return {};
    }
}

bool ConditionGrid::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    if (isLocked(row, col))
        return false;
    const CellKind kind = cellKind(row, col);
    if (role == ValueFieldRole) {
        if (col != ColValue || value.toInt() < 1 || value.toInt() >= m_catalog.count())
            return false;
        setValueField(row, value.toInt());
    } else if (role == ComboIndexRole) {
        if (!isListKind(kind))
            return false;
        const int chosen = value.toInt();
        if (chosen < -1 || chosen >= columnItems(col).size())
            return false;
        if (chosen == GetComboIndex(row, col) && (chosen >= 0 || GetCellText(row, col).isEmpty()))
            return true;
        SetComboIndex(row, col, chosen);
    } else if (role == Qt::EditRole) {
        // An editor closed without a change must not filter what the dialog wrote there.
        if (value.toString() == GetCellText(row, col))
            return true;
        QString text = userEdit(col, GetCellText(row, col), value.toString());
        if (data(index, ValueListRole).toBool()) {
            // A value list takes any pieces, whatever its field holds.
        } else if (kind == CellKind::Integer) {
            text = text.trimmed();
            if (!text.isEmpty() && !wholeNumber().match(text).hasMatch())
                return false;
        } else if (kind == CellKind::Date && !text.isEmpty()) {
            // Kept in the one form the cell shows, whichever accepted form was typed; a
            // relative date's word in the current language.
            const QDate date = DateText::parse(text);
            const std::optional<RelativeDate> word = RelativeDate::read(text);
            if (!date.isValid() && !word)
                return false;
            text = word ? word->word() : date.toString(Qt::ISODate);
        }
        if (text == GetCellText(row, col))
            return true;
        SetCellText(row, col, text);
    } else {
        return false;
    }
    Q_EMIT cellChanged(col, row);
    return true;
}

Qt::ItemFlags ConditionGrid::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isLocked(index.row() + 1, index.column() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant ConditionGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headerText(section + 1);
    return {}; // rows show no numbers
}

void ConditionGrid::SetMaxRows(int rows)
{
    rows = std::max(rows, 1);
    const int current = MaxRows();
    if (rows > current) {
        beginInsertRows({}, current, rows - 1);
        m_condition.rows().resize(rows);
        m_settings.resize(size_t(rows));
        endInsertRows();
    } else if (rows < current) {
        beginRemoveRows({}, rows, current - 1);
        m_condition.rows().resize(rows);
        m_settings.resize(size_t(rows));
        endRemoveRows();
    }
    m_activeRow = std::min(m_activeRow, MaxRows());
}

QString ConditionGrid::GetCellText(int row, int col) const
{
    if (row == 0)
        return headerText(col);
    if (!valid(row, col))
        return {};
    const ConditionRow &r = conditionRow(row);
    switch (col) {
    case ColLogic:
    case ColField:
    case ColCompare: {
        const int at = chosenPosition(r, col);
        if (at >= 0 && isListKind(cellKind(row, col))) {
            const QStringList &items = m_items[size_t(col - 1)];
            return at < items.size() ? items.at(at) : QString();
        }
        return unmatchedWord(r, col);
    }
    case ColLeftParen:
        return r.open;
    case ColValue:
        return r.value.text();
    case ColValueCode:
        return r.code;
    default:
        return r.close;
    }
}

void ConditionGrid::writeText(int row, int col, CellKind kind, const QString &text)
{
    ConditionRow &r = conditionRow(row);
    QString safe = cellSafe(text);
    switch (col) {
    case ColLogic:
    case ColField:
    case ColCompare: {
        // An empty text is no choice, even when a host lists a field without a caption.
        const int at =
            isListKind(kind) && !safe.isEmpty() ? int(m_items[size_t(col - 1)].indexOf(safe)) : -1;
        if (choose(r, col, at))
            safe.clear();
        unmatchedWord(r, col) = std::move(safe);
        break;
    }
    case ColLeftParen:
        r.open = std::move(safe);
        break;
    case ColValue:
        // The text a field compared with shows, written again (a new cell kind), keeps it.
        if (r.value.kind() != ValueKind::Field || safe != r.value.text())
            r.value = ConditionValue::fromText(RunFacts::valueKind(m_catalog, r), safe);
        break;
    case ColValueCode: {
        // The cell is the stored form of the row's off flag and question.
        const RowFacts facts = RowFacts::read(safe);
        r.off = RunFacts::off(facts);
        if (RunFacts::asks(facts) != (r.value.kind() == ValueKind::Asked))
            r.value = ConditionValue::fromText(RunFacts::asks(facts)
                                                   ? ValueKind::Asked
                                                   : rowValueKind(m_catalog, r.field, r.compare),
                                               r.value.text());
        r.code = std::move(safe);
        break;
    }
    default:
        r.close = std::move(safe);
        break;
    }
    if (col == ColField || col == ColCompare) {
        retype(r);
        dropUnusableField(r);
    }
}

void ConditionGrid::SetCellText(int row, int col, const QString &text)
{
    if (row == 0) {
        setHeaderText(col, text);
        return;
    }
    if (!valid(row, col))
        return;
    writeText(row, col, cellKind(row, col), text);
    notify(row, col);
}

int ConditionGrid::GetComboIndex(int row, int col) const
{
    if (!valid(row, col) || !isListKind(cellKind(row, col)))
        return -1;
    const ConditionRow &r = conditionRow(row);
    if (col == ColLogic || col == ColField || col == ColCompare)
        return chosenPosition(r, col);
    const QString text = GetCellText(row, col);
    return text.isEmpty() ? -1 : int(m_items[size_t(col - 1)].indexOf(text));
}

void ConditionGrid::SetComboIndex(int row, int col, int index)
{
    if (!valid(row, col) || !isListKind(cellKind(row, col)))
        return;
    const QStringList &items = m_items[size_t(col - 1)];
    if (index < -1 || index >= items.size())
        index = -1;
    ConditionRow &r = conditionRow(row);
    if (col == ColLogic || col == ColField || col == ColCompare) {
        // A position past the operations the condition knows is kept as its word.
        if (choose(r, col, index) || index < 0)
            unmatchedWord(r, col).clear();
        else
            unmatchedWord(r, col) = items.at(index);
        retype(r);
        if (col != ColLogic)
            dropUnusableField(r);
    } else {
        writeText(row, col, cellKind(row, col), index >= 0 ? items.at(index) : QString());
    }
    notify(row, col);
}

void ConditionGrid::setValueField(int row, int field)
{
    if (!valid(row, ColValue))
        return;
    conditionRow(row).value = ConditionValue::ofField(field, m_catalog.caption(field));
    notify(row, ColValue);
}

QStringList ConditionGrid::columnItems(int col) const
{
    return col >= 1 && col <= ColumnCount ? m_items[size_t(col - 1)] : QStringList();
}

void ConditionGrid::setColumnItems(int col, const QStringList &items)
{
    if (col < 1 || col > ColumnCount)
        return;
    m_items[size_t(col - 1)] = items;
    // A chosen position that the new list does not have is no choice at all.
    if (col == ColLogic || col == ColField || col == ColCompare) {
        for (ConditionRow &r : m_condition.rows()) {
            if (chosenPosition(r, col) >= items.size()) {
                choose(r, col, -1);
                retype(r);
            }
        }
    }
    if (MaxRows() > 0)
        Q_EMIT dataChanged(index(0, col - 1), index(MaxRows() - 1, col - 1));
}

CellKind ConditionGrid::columnKind(int col)
{
    switch (col) {
    case ColLogic:
    case ColField:
    case ColCompare:
        return CellKind::List;
    case ColLeftParen:
    case ColRightParen:
        return CellKind::ListText;
    default:
        return CellKind::Text;
    }
}

CellKind ConditionGrid::cellKind(int row, int col) const
{
    const CellSettings *c = settings(row, col);
    if (c && c->kind >= 0)
        return CellKind(c->kind);
    return columnKind(col);
}

void ConditionGrid::setCellKind(int row, int col, CellKind kind)
{
    CellSettings *c = settings(row, col);
    if (!c)
        return;
    const QString shown = GetCellText(row, col);
    c->kind = kind == columnKind(col) ? qint8(-1) : qint8(kind);
    writeText(row, col, kind, shown);
    notify(row, col);
}

bool ConditionGrid::isLocked(int row, int col) const
{
    const CellSettings *c = settings(row, col);
    return c && c->locked;
}

void ConditionGrid::setLocked(int row, int col, bool locked)
{
    if (CellSettings *c = settings(row, col)) {
        c->locked = locked;
        notify(row, col);
    }
}

void ConditionGrid::emptyRow(int row)
{
    conditionRow(row) = ConditionRow{};
    retype(conditionRow(row));
    m_settings[size_t(row - 1)] = RowSettings{};
}

void ConditionGrid::DeleteRow(int row)
{
    if (row < 1 || row > MaxRows())
        return;
    if (MaxRows() == 1) {
        // A grid of no rows would break every step that touches row 1: an empty row takes
        // the place of the last one, as a first row it has no logic word.
        emptyRow(1);
        firstRowLogicPlain();
        Q_EMIT dataChanged(index(0, 0), index(0, ColumnCount - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    m_condition.rows().removeAt(row - 1);
    m_settings.erase(m_settings.begin() + (row - 1));
    endRemoveRows();
    m_activeRow = std::min(m_activeRow, MaxRows());
}

QString ConditionGrid::headerText(int col) const
{
    return col >= 1 && col <= ColumnCount ? m_headers[size_t(col - 1)] : QString();
}

void ConditionGrid::setHeaderText(int col, const QString &text)
{
    if (col < 1 || col > ColumnCount)
        return;
    m_headers[size_t(col - 1)] = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

int ConditionGrid::columnWidthTwips(int col)
{
    return col >= 0 && col <= ColumnCount ? widthsTwips[size_t(col)] : 0;
}

void ConditionGrid::setActiveCell(int row, int col)
{
    row = std::clamp(row, 1, MaxRows());
    col = std::clamp(col, 1, ColumnCount);
    if (row == m_activeRow && col == m_activeCol)
        return;
    m_activeRow = row;
    m_activeCol = col;
    Q_EMIT activeCellChanged(row, col);
}

void ConditionGrid::SelectBlock(int row1, int row2, int col1, int col2)
{
    m_block = {row1, row2, col1, col2};
    m_blockMode = true;
}

ConditionGrid::Block ConditionGrid::resolvedBlock() const
{
    Block b = m_block;
    if (b.row1 == -1 && b.row2 == -1) {
        b.row1 = 1;
        b.row2 = MaxRows();
    }
    if (b.col1 == -1 && b.col2 == -1) {
        b.col1 = 1;
        b.col2 = ColumnCount;
    }
    if (b.row1 > b.row2)
        std::swap(b.row1, b.row2);
    if (b.col1 > b.col2)
        std::swap(b.col1, b.col2);
    b.row1 = std::max(b.row1, 1);
    b.row2 = std::min(b.row2, MaxRows());
    b.col1 = std::max(b.col1, 1);
    b.col2 = std::min(b.col2, int(ColumnCount));
    return b;
}

QString ConditionGrid::blockItems() const
{
    const Block b = resolvedBlock();
    return columnItems(b.col1).join(u'\t');
}

void ConditionGrid::setBlockItems(const QString &tabSeparated)
{
    const Block b = resolvedBlock();
    const QStringList items = tabSeparated.split(u'\t');
    for (int col = b.col1; col <= b.col2; ++col)
        setColumnItems(col, items);
}

void ConditionGrid::clearBlock()
{
    const Block b = resolvedBlock();
    if (b.row1 > b.row2 || b.col1 > b.col2)
        return;
    for (int row = b.row1; row <= b.row2; ++row) {
        for (int col = b.col1; col <= b.col2; ++col) {
            *settings(row, col) = CellSettings{};
            writeText(row, col, columnKind(col), QString());
        }
    }
    Q_EMIT dataChanged(index(b.row1 - 1, b.col1 - 1), index(b.row2 - 1, b.col2 - 1));
}

QString ConditionGrid::blockText() const
{
    const Block b = resolvedBlock();
    QString text;
    for (int row = b.row1; row <= b.row2; ++row) {
        if (row > b.row1)
            text += crlf();
        for (int col = b.col1; col <= b.col2; ++col) {
            if (col > b.col1)
                text += u'\t';
            text += GetCellText(row, col);
        }
    }
    return text;
}

void ConditionGrid::setBlockText(const QString &text)
{
    const Block b = resolvedBlock();
    if (b.row1 > b.row2 || b.col1 > b.col2)
        return;
    const QStringList lines = text.split(crlf());
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const int row = b.row1 + int(k);
        if (row > b.row2)
            break;
        const QStringList cells = lines.at(k).split(u'\t');
        for (qsizetype j = 0; j < cells.size(); ++j) {
            const int col = b.col1 + int(j);
            if (col > b.col2)
                break;
            writeText(row, col, cellKind(row, col), cells.at(j));
        }
    }
    Q_EMIT dataChanged(index(b.row1 - 1, b.col1 - 1), index(b.row2 - 1, b.col2 - 1));
}

QString ConditionGrid::cellSafe(QString text)
{
    return wellFormedCell(std::move(text));
}

QString ConditionGrid::userInputFor(int col, const QString &text)
{
    return userEdit(col, QString(), text);
}

QString ConditionGrid::userEdit(int col, const QString &before, const QString &after,
                                bool oneChange, int *cursor)
{
    // What a cell may not hold becomes a space first, as on every other way in: the key rule
    // would drop a NUL as a discarded key instead.
    const QString text = cellSafe(after);
    // The edit is what lies between the text the two share at their start and at their end.
    const qsizetype shared = std::min(before.size(), text.size());
    qsizetype head = 0;
    while (head < shared && before.at(head) == text.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shared - head &&
           before.at(before.size() - 1 - tail) == text.at(text.size() - 1 - tail))
        ++tail;
    // A character the rule refuses stays only as one the replaced text held (a look-up
    // value's quote kept while the user typed on both sides of it), matched in order.
    const QStringView replaced =
        oneChange ? QStringView() : QStringView(before).mid(head, before.size() - head - tail);
    qsizetype matched = 0;
    QString kept = text.left(head);
    kept.reserve(text.size());
    int newCursor = cursor ? *cursor : 0;
    for (qsizetype i = head; i < text.size() - tail; ++i) {
        const QChar ch = text.at(i);
        bool keep = Vocabulary::keptKey(ch.unicode(), col) != 0;
        if (!keep) {
            const qsizetype at = replaced.indexOf(ch, matched);
            keep = at >= 0;
            matched = keep ? at + 1 : matched;
        }
        if (keep)
            kept += ch;
        else if (cursor && i < *cursor)
            --newCursor;
    }
    kept += QStringView(text).right(tail);
    if (cursor)
        *cursor = newCursor;
    return kept;
}

} // namespace NxSerialFilter
