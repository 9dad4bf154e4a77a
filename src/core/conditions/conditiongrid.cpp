// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/conditiongrid.h"

#include "core/conditions/datetext.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/support/spaces.h"
#include "core/support/texts.h"

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
    m_rows.assign(DesignRowCount, Row{});
    m_items = {};
    m_items[ColLogic - 1] = Vocabulary::logicItems();
    m_items[ColLeftParen - 1] = Vocabulary::leftParenItems();
    m_items[ColCompare - 1] = Vocabulary::compareItems();
    m_items[ColRightParen - 1] = Vocabulary::rightParenItems();
    m_headers = {Texts::headerLogic(),   QStringLiteral("("),  Texts::headerField(),
                 Texts::headerCompare(), Texts::headerValue(), Texts::headerValueCode(),
                 QStringLiteral(")")};
    // The first condition has no logic word.
    Cell &firstLogic = m_rows[0][ColLogic - 1];
    firstLogic.kind = qint8(CellKind::Text);
    firstLogic.locked = true;
    m_activeRow = 1;
    m_activeCol = 1;
    m_block = {};
    m_blockMode = false;
    endResetModel();
}

bool ConditionGrid::valid(int row, int col) const
{
    return row >= 1 && row <= MaxRows() && col >= 1 && col <= ColumnCount;
}

ConditionGrid::Cell *ConditionGrid::cell(int row, int col)
{
    return valid(row, col) ? &m_rows[size_t(row - 1)][size_t(col - 1)] : nullptr;
}

const ConditionGrid::Cell *ConditionGrid::cell(int row, int col) const
{
    return valid(row, col) ? &m_rows[size_t(row - 1)][size_t(col - 1)] : nullptr;
}

void ConditionGrid::notify(int row, int col)
{
    const QModelIndex at = index(row - 1, col - 1);
    Q_EMIT dataChanged(at, at);
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
    if (role == ComboIndexRole) {
        if (!isListKind(kind))
            return false;
        const int chosen = value.toInt();
        if (chosen < -1 || chosen >= columnItems(col).size())
            return false;
        if (chosen == GetComboIndex(row, col) && cell(row, col)->text.isEmpty())
            return true;
        SetComboIndex(row, col, chosen);
    } else if (role == Qt::EditRole) {
        // An editor closed without a change must not filter what the dialog wrote there.
        if (value.toString() == GetCellText(row, col))
            return true;
        QString text = userEdit(col, GetCellText(row, col), value.toString());
        if (kind == CellKind::Integer) {
            text = text.trimmed();
            if (!text.isEmpty() && !wholeNumber().match(text).hasMatch())
                return false;
        } else if (kind == CellKind::Date && !text.isEmpty()) {
            // Kept in the one form the cell shows, whichever accepted form was typed.
            const QDate date = DateText::parse(text);
            if (!date.isValid())
                return false;
            text = date.toString(Qt::ISODate);
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
        m_rows.resize(size_t(rows));
        endInsertRows();
    } else if (rows < current) {
        beginRemoveRows({}, rows, current - 1);
        m_rows.resize(size_t(rows));
        endRemoveRows();
    }
    m_activeRow = std::min(m_activeRow, MaxRows());
}

QString ConditionGrid::GetCellText(int row, int col) const
{
    if (row == 0)
        return headerText(col);
    const Cell *c = cell(row, col);
    if (!c)
        return {};
    if (c->index >= 0 && isListKind(cellKind(row, col))) {
        const QStringList &items = m_items[size_t(col - 1)];
        return c->index < items.size() ? items.at(c->index) : QString();
    }
    return c->text;
}

void ConditionGrid::writeText(Cell &c, CellKind kind, int col, const QString &text)
{
    c.text = cellSafe(text);
    if (isListKind(kind)) {
        // An empty text is no choice, even when a host lists a field without a caption.
        c.index = c.text.isEmpty() ? -1 : qint32(m_items[size_t(col - 1)].indexOf(c.text));
        if (c.index >= 0)
            c.text.clear();
    } else {
        c.index = -1;
    }
}

void ConditionGrid::SetCellText(int row, int col, const QString &text)
{
    if (row == 0) {
        setHeaderText(col, text);
        return;
    }
    Cell *c = cell(row, col);
    if (!c)
        return;
    writeText(*c, cellKind(row, col), col, text);
    notify(row, col);
}

int ConditionGrid::GetComboIndex(int row, int col) const
{
    const Cell *c = cell(row, col);
    if (!c || !isListKind(cellKind(row, col)))
        return -1;
    return c->index;
}

void ConditionGrid::SetComboIndex(int row, int col, int index)
{
    Cell *c = cell(row, col);
    if (!c || !isListKind(cellKind(row, col)))
        return;
    if (index < -1 || index >= m_items[size_t(col - 1)].size())
        index = -1;
    c->index = index;
    c->text.clear();
    notify(row, col);
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
    // A chosen index that the new list does not have is no choice at all.
    for (Row &row : m_rows) {
        Cell &c = row[size_t(col - 1)];
        if (c.index >= items.size())
            c.index = -1;
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
    const Cell *c = cell(row, col);
    if (c && c->kind >= 0)
        return CellKind(c->kind);
    return columnKind(col);
}

void ConditionGrid::setCellKind(int row, int col, CellKind kind)
{
    Cell *c = cell(row, col);
    if (!c)
        return;
    const QString shown = GetCellText(row, col);
    c->kind = kind == columnKind(col) ? qint8(-1) : qint8(kind);
    writeText(*c, kind, col, shown);
    notify(row, col);
}

bool ConditionGrid::isLocked(int row, int col) const
{
    const Cell *c = cell(row, col);
    return c && c->locked;
}

void ConditionGrid::setLocked(int row, int col, bool locked)
{
    if (Cell *c = cell(row, col)) {
        c->locked = locked;
        notify(row, col);
    }
}

void ConditionGrid::DeleteRow(int row)
{
    if (row < 1 || row > MaxRows())
        return;
    if (MaxRows() == 1) {
        // A grid of no rows would break every step that touches row 1: an empty row takes
        // the place of the last one, as a first row it has no logic word.
        m_rows[0] = Row{};
        Cell &firstLogic = m_rows[0][ColLogic - 1];
        firstLogic.kind = qint8(CellKind::Text);
        firstLogic.locked = true;
        Q_EMIT dataChanged(index(0, 0), index(0, ColumnCount - 1));
        return;
    }
    beginRemoveRows({}, row - 1, row - 1);
    m_rows.erase(m_rows.begin() + (row - 1));
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
    for (int row = b.row1; row <= b.row2; ++row)
        for (int col = b.col1; col <= b.col2; ++col)
            *cell(row, col) = Cell{};
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
            writeText(*cell(row, col), cellKind(row, col), col, cells.at(j));
        }
    }
    Q_EMIT dataChanged(index(b.row1 - 1, b.col1 - 1), index(b.row2 - 1, b.col2 - 1));
}

Condition ConditionGrid::toCondition(const FieldCatalog &catalog) const
{
    Condition condition;
    condition.rows().reserve(MaxRows());
    for (int r = 1; r <= MaxRows(); ++r) {
        ConditionRow row;
        const int logic = GetComboIndex(r, ColLogic);
        if (logic >= 0 && logic <= int(LogicOp::Or))
            row.logic = LogicOp(logic);
        else
            row.unmatched.logic = GetCellText(r, ColLogic);
        row.open = GetCellText(r, ColLeftParen);
        row.field = GetComboIndex(r, ColField);
        if (row.field < 0)
            row.unmatched.field = GetCellText(r, ColField);
        const int compare = GetComboIndex(r, ColCompare);
        if (compare >= 0 && compare <= int(CompareOp::NotInList))
            row.compare = CompareOp(compare);
        else
            row.unmatched.compare = GetCellText(r, ColCompare);
        row.value = ConditionValue::fromText(rowValueKind(catalog, row.field, row.compare),
                                             GetCellText(r, ColValue));
        row.code = GetCellText(r, ColValueCode);
        row.close = GetCellText(r, ColRightParen);
        condition.append(row);
    }
    return condition;
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
        bool keep = Vocabulary::Form_KeyPress(ch.unicode(), col) != 0;
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
