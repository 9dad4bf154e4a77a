// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QVariant>

// What the host's context tells the component: its property string, and the help call.
namespace NxSerialFilter::HostContext {

/// The current property string; fetched anew on every call. Throws when the store fails.
NXSF_CORE_PRIVATE_EXPORT QString propsString();

/// The value of key in the context property string; the empty text when absent. Never fails.
NXSF_CORE_PRIVATE_EXPORT QString property(const QString &key);

/// The same rule on a given property string (the search is not anchored at pair boundaries).
QString propertyIn(QString propsString, const QString &key);

/// One property of the shared-properties store for this process. Throws when the store fails.
NXSF_CORE_AUTOTEST_EXPORT QVariant sharedProperty(const QString &key);

/// Opens help for the topic when keyCode is F1 (112); the help component is made once per
/// process and kept. Failures of the help component reach the caller.
NXSF_CORE_PRIVATE_EXPORT void showHelpOnKey(qint32 keyCode, qint32 first, const QString &topicClass,
                                            qint32 serialFlag, const QString &subSystemId,
                                            qint32 last);

/// Drops the help component kept by showHelpOnKey (for hosts that reload the component).
NXSF_CORE_AUTOTEST_EXPORT void releaseHelp();

} // namespace NxSerialFilter::HostContext
