// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVariant>

// What the host's context tells the component: its property string. Linked, hidden, into
// each library of the component: it keeps no state, and reads the context store the
// registry gives.
namespace NxSerialFilter::HostContext {

/// The current property string; fetched anew on every call. Throws when the store fails.
QString propsString();

/// The value of key in the context property string; the empty text when absent. Never fails.
QString property(const QString &key);

/// The same rule on a given property string (the search is not anchored at pair boundaries).
QString propertyIn(QString propsString, const QString &key);

/// One property of the shared-properties store for this process. Throws when the store fails.
QVariant sharedProperty(const QString &key);

} // namespace NxSerialFilter::HostContext
