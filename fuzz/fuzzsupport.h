// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/composer/confirmedcondition.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/fields/hostfields.h"
#include "testsupport/scriptedalerts.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace NxSerialFilter::Fuzzing {

/// Sets the process up once (an application object, alerts recorded instead of shown) and
/// gives the alert recorder, emptied for the next input.
Testing::ScriptedAlerts &alerts();

/// Reports a broken property with what led to it and stops the run, so libFuzzer keeps the
/// input as a crash artifact.
[[noreturn]] void finding(const QString &what);

/// Reads fuzz bytes as text. The first byte chooses the decoding: UTF-8 (what a store gives),
/// or raw UTF-16 units, which reach unpaired surrogates that no UTF-8 decoder yields.
QString textFrom(const uint8_t *data, size_t size);

/// The screens the targets cycle through.
enum class Mode : quint8 { Serial, Common, StorageCheck };
constexpr int ModeCount = 3;

/// A dialog's working state over a fixed description, as the dialog sets it up on load.
struct Session
{
    explicit Session(Mode mode);

    Mode mode;
    HostFields state;
    ConfirmedCondition confirmed;
    ConditionGrid grid;
    std::unique_ptr<ValueCells> valueCells;
};

/// A grid's cells in a form that can be compared and printed: one line per row, cells by TAB,
/// list cells as "#index" when an item is chosen.
QString snapshot(const ConditionGrid &grid);

} // namespace NxSerialFilter::Fuzzing
