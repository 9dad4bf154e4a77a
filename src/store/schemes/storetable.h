// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/storeconnection.h"

namespace NxSerialFilter::SchemeDb {

/// Makes the table of a store opened for writing, or brings an older one up to date.
void createSchema(SchemeStore::Connection &c);

/// Whether the table is there to read; a store opened only for reading may have none.
bool tableReady(SchemeStore::Connection &c);

} // namespace NxSerialFilter::SchemeDb
