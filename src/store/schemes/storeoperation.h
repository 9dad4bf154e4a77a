// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/storeconnection.h"

#include <functional>
#include <optional>

namespace NxSerialFilter::SchemeDb {

/// Runs one operation under the stall budget of a server; body may run more than once (a read
/// of a file that changed meanwhile, a write that met another writer, a lost session). A
/// failure drops the connection (it may be broken) and is described.
void runOperation(ConnectionPtr &connection, bool write,
                  const std::function<void(SchemeStore::Connection &)> &body);

/// runOperation, giving what body returned last.
template <class F>
auto guarded(ConnectionPtr &connection, bool write, F &&body) -> decltype(body(*connection))
{
    std::optional<decltype(body(*connection))> result;
    runOperation(connection, write, [&](SchemeStore::Connection &c) { result.emplace(body(c)); });
    return std::move(*result);
}

} // namespace NxSerialFilter::SchemeDb
