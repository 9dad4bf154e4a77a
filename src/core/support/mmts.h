// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QVariant>

// The host's context property string, and the help call.
namespace NxSerialFilter::MMTS {

/// The current property string; fetched anew on every call. Throws when the store fails.
NXSF_CORE_PRIVATE_EXPORT QString GetPropsString();

/// One property of the shared-properties store for this process. Throws when the store fails.
NXSF_CORE_AUTOTEST_EXPORT QVariant FetchSharedProperty(const QString &key);

/// Opens help for the topic when keyCode is F1 (112); the help component is made once per
/// process and kept. Failures of the help component reach the caller.
NXSF_CORE_PRIVATE_EXPORT void ShowHelpOnKey(qint32 keyCode, qint32 first, const QString &topicClass,
                                            qint32 serialFlag, const QString &subSystemId,
                                            qint32 last);

/// Drops the help component kept by ShowHelpOnKey (for hosts that reload the component).
NXSF_CORE_AUTOTEST_EXPORT void releaseHelpComponent();

} // namespace NxSerialFilter::MMTS
