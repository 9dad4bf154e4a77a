// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QAbstractTableModel>
#include <QStringList>

#include <array>
#include <vector>

namespace NxSerialFilter {

enum class CellKind : quint8 {
    List,     // choose an item only
    ListText, // choose an item or type text (filtered)
    Text,
    Integer,
    Date, // shown and stored as yyyy-MM-dd
};

/// The condition grid: an editing model over a Condition. The rows are held as condition
/// rows (logic, field and comparison by their list positions, the other cells as texts); the
/// translated words of the item lists are only what the cells show and take. Each cell also
/// has its kind and lock, which the dialog sets. Rows and columns are numbered as the dialog
/// addresses them: condition rows from 1 (row 0 is the header), columns 1 to 7. Item lists
/// are held once per column.
///
/// Edits that come through setData() (the view, the user) raise cellChanged(); writes made
/// through the grid operations do not, so the dialog's own changes cause no events.
class NXSF_CORE_AUTOTEST_EXPORT ConditionGrid : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        ColLogic = 1,
        ColLeftParen = 2,
        ColField = 3,
        ColCompare = 4,
        ColValue = 5,
        ColValueCode = 6,
        ColRightParen = 7,
    };
    static constexpr int ColumnCount = 7;
    static constexpr int DesignRowCount = 8;

    enum Role {
        KindRole = Qt::UserRole + 1, // CellKind as int
        LockedRole,
        ComboIndexRole, // read and write the chosen index
        ItemsRole,      // the cell's item list (QStringList)
        ValueListRole,  // whether the cell is a value list's ("包括", "不包括"): bool
        ValueFieldRole, // the value cell's field compared with: its position (-1 for one not
                        // listed), no value for a value that is no field
    };

    explicit ConditionGrid(QObject *parent = nullptr);

    /// Back to the design-time state: 8 empty rows, headers, lists, row 1's locked logic cell.
    void resetToDesign();

    // QAbstractItemModel: model row i is grid row i + 1, model column j is grid column j + 1.
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Grid operations.
    int MaxRows() const { return int(m_condition.size()); }
    /// Sets the number of condition rows; the grid always keeps at least one.
    void SetMaxRows(int rows);
    int MaxCols() const { return ColumnCount; }

    /// A cell's text; a list cell gives its chosen item's text. Row 0 gives the header.
    QString GetCellText(int row, int col) const;
    void SetCellText(int row, int col, const QString &text);
    /// A list cell's chosen index from 0; -1 when none (or not a list cell).
    int GetComboIndex(int row, int col) const;
    void SetComboIndex(int row, int col, int index);

    QStringList columnItems(int col) const;
    void setColumnItems(int col, const QStringList &items);
    static CellKind columnKind(int col);

    CellKind cellKind(int row, int col) const;
    void setCellKind(int row, int col, CellKind kind);
    bool isLocked(int row, int col) const;
    void setLocked(int row, int col, bool locked);

    /// Removes a row; the rows below move up. The last remaining row is emptied instead, its
    /// logic cell plain and locked, so the grid never has fewer than one row.
    void DeleteRow(int row);

    QString headerText(int col) const;
    void setHeaderText(int col, const QString &text);
    /// Design-time width in twips; 0 for the hidden value-code column.
    static int columnWidthTwips(int col);

    int activeRow() const { return m_activeRow; }
    int activeCol() const { return m_activeCol; }
    void setActiveCell(int row, int col);

    /// Makes a block current and switches block mode on; rows -1 to -1 mean every row.
    void SelectBlock(int row1, int row2, int col1, int col2);
    void setBlockMode(bool on) { m_blockMode = on; }
    bool blockMode() const { return m_blockMode; }
    /// The item list of the block's first column, items separated by TAB.
    QString blockItems() const;
    /// Sets the item list of every column of the block.
    void setBlockItems(const QString &tabSeparated);
    /// Empties the block's cells and drops their own settings (kind, lock).
    void clearBlock();
    /// The block's cells: TAB between cells, CR LF between rows.
    QString blockText() const;
    /// Writes text into the block: lines by CR LF, cells by TAB; what falls outside is dropped.
    void setBlockText(const QString &text);

    /// Makes row's value the field at catalog position field, compared column with column.
    void setValueField(int row, int field);

    /// The fields the field column lists; values are typed by them.
    const FieldCatalog &catalog() const { return m_catalog; }
    /// Sets the fields; every row's value is typed anew by its field.
    void setCatalog(const FieldCatalog &catalog);

    /// The rows as a condition: list cells by their chosen positions, cells that chose
    /// nothing keep their text as unmatched words, values typed by the catalog.
    const Condition &condition() const { return m_condition; }
    /// Replaces the rows (at least one) by the condition's; every cell's own kind and lock is
    /// dropped except row 1's plain, locked logic cell. Values are typed by the catalog.
    void setCondition(const Condition &condition);

    /// What a cell may hold: no TAB, CR or LF (they would split a stored row), no NUL and no
    /// unpaired surrogate (they would break the condition's SQL text).
    static QString cellSafe(QString text);
    /// What a user's edit may put into a column: what cellSafe keeps, no single quote; only
    /// "(" in column 2 and only ")" in column 7.
    static QString userInputFor(int col, const QString &text);
    /// What a user's edit from before to after puts into a column: the key rule holds for
    /// what the edit typed or pasted, never for text the cell already held. after may differ
    /// from before in several places (an editor's whole session): a character the rule refuses
    /// then stays as one of those the changed part replaced, in order. With oneChange, after is
    /// one insert or replacement and the rule holds for all it brought. cursor, a position in
    /// after, is moved to the same place in the result.
    static QString userEdit(int col, const QString &before, const QString &after,
                            bool oneChange = false, int *cursor = nullptr);

Q_SIGNALS:
    /// A cell was changed by the user (column, row).
    void cellChanged(int col, int row);
    void activeCellChanged(int row, int col);

private:
    // What the dialog sets on a cell beside its content.
    struct CellSettings
    {
        qint8 kind = -1; // own kind, -1 for the column's
        bool locked = false;
    };
    using RowSettings = std::array<CellSettings, ColumnCount>;

    bool valid(int row, int col) const;
    CellSettings *settings(int row, int col);
    const CellSettings *settings(int row, int col) const;
    ConditionRow &conditionRow(int row) { return m_condition[row - 1]; }
    const ConditionRow &conditionRow(int row) const { return m_condition.at(row - 1); }
    void notify(int row, int col);
    /// Stores text as what cell (row, col) holds, a list cell choosing the item it names.
    void writeText(int row, int col, CellKind kind, const QString &text);
    void emptyRow(int row);
    void firstRowLogicPlain();
    void retype(ConditionRow &row) const;
    void dropUnusableField(ConditionRow &row) const;
    struct Block
    {
        int row1 = 0, row2 = 0, col1 = 0, col2 = 0;
    };
    Block resolvedBlock() const;

    Condition m_condition;
    std::vector<RowSettings> m_settings; // parallel to the condition's rows
    FieldCatalog m_catalog;
    std::array<QStringList, ColumnCount> m_items;
    std::array<QString, ColumnCount> m_headers;
    int m_activeRow = 1;
    int m_activeCol = 1;
    Block m_block;
    bool m_blockMode = false;
};

} // namespace NxSerialFilter
