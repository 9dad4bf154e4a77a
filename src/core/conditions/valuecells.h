// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/fields/hostfields.h"
#include <NxSerialFilter/nxsf_core_export.h>

#include <QDate>
#include <QObject>

#include <functional>
#include <optional>

namespace NxSerialFilter {

class ConditionGrid;

/// Keeps every grid row consistent with its field and comparison while the user edits, and
/// runs the F7 look-up. The grid events of the dialog end here; none of them throws: a failure
/// is reported through failed().
class NXSF_CORE_AUTOTEST_EXPORT ValueCells : public QObject
{
    Q_OBJECT
public:
    ValueCells(const HostFields &fields, ConditionGrid &grid, QObject *parent = nullptr);

    /// True while a scheme or condition is put into the grid: value cells keep the values
    /// loaded instead of starting from their field's default.
    bool loadingScheme() const { return m_loadingScheme; }
    void setLoadingScheme(bool loading) { m_loadingScheme = loading; }
    /// Whether F7 offers a look-up for the cell entered last.
    bool lookupOffered() const { return m_lookupOffered; }
    void setLookupOffered(bool offered) { m_lookupOffered = offered; }

    /// The text of the hint line: the look-up hint of the cell entered, or empty.
    QString hint() const { return m_hint; }

    /// Sets up the value cell of row r for field list position k. Reports its failures
    /// through failed().
    void SetValueCell(int k, int r);

    /// The user changed cell (c, r).
    void cellChanged(int c, int r);
    /// The current cell moves from (c, r) to (nc, nr).
    void leaveCell(int c, int r, int nc, int nr);
    /// A key (platform key code, F7 = 118) was pressed while the grid has the focus.
    void keyDown(int keyCode);

    /// Whether field k offers the F7 look-up. Throws when the descriptions cannot be read.
    bool lookupAvailable(int k) const;
    /// Runs the look-up for row r and writes the chosen item into the active row's value.
    /// Throws when the look-up window is missing or fails; keyDown turns that into one alert.
    void lookup(int r);
    /// Runs the look-up of field list position k and gives the item chosen, as the value cell
    /// would take it; nothing when the field has none or the user chose none. A failure is
    /// reported through failed().
    std::optional<QString> lookupValue(int k);

    /// The values of a list pasted into row r that its field's look-up does not hold; none
    /// when the field has no look-up or the host's look-up cannot tell. Throws when the
    /// look-up fails.
    QStringList unknownLookupValues(int r, const QStringList &values) const;

    /// Today's date for new date cells; tests set their own clock.
    static void setClock(std::function<QDate()> clock);
    static QDate today();
    /// The tests' clock's day; null without one, for the host's clock, which the composer
    /// reads only for a row that holds a relative date (a look-up of the time zone).
    static QDate clockDay();

Q_SIGNALS:
    void hintChanged(const QString &text);
    /// A step failed; message is what to tell the user (the dialog shows it in one alert).
    void failed(const QString &message);

private:
    void showHint(const QString &text);
    void showHintFor(int r);
    void guarded(const std::function<void()> &work);
    void reportCurrentFailure();
    /// The item the look-up of position k gives; throws as lookup does.
    std::optional<QString> lookedUp(int k) const;
    std::optional<QString> lookupSerial(int k) const;
    std::optional<QString> lookupCommon(int k) const;

    const HostFields &m_state;
    ConditionGrid &m_grid;
    QString m_hint;
    bool m_loadingScheme = false;
    bool m_lookupOffered = false;
};

} // namespace NxSerialFilter
