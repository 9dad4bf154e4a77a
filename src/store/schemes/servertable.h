// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/storeconnection.h"

namespace NxSerialFilter::SchemeDb {

/// Lets grantee (an SQL role name, quoted, or PUBLIC) insert or update only the columns a user
/// writes.
QString columnGrant(const QString &privilege, const QString &grantee);

/// Creates the server's table where there is none, and where the connecting role owns it,
/// brings it up to this version: owners, their key, row-level security and its policies, the
/// column of the default scheme, and grants of only the columns a user writes.
void setUpServerTable(SchemeStore::Connection &c);

/// Whether the server has the table, refusing one that is not the store's own (a foreign
/// owner, trigger, rule or policy). Afterwards names are looked up in the table's schema only.
bool verifyServerTable(SchemeStore::Connection &c);

} // namespace NxSerialFilter::SchemeDb
