// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/nxsf_store_export.h>
#include <NxSerialFilter/recordset.h>

namespace NxSerialFilter {

/// The read side of the serial data service. Every call takes the context property string
/// first; failures are thrown to the caller.
class NXSF_STORE_EXPORT SchemeReaderComponent : public Component
{
public:
    /// True when the screen has a scheme of that name; a null answer counts as false.
    virtual QVariant FilterExists(const QString &propsString, const QString &screenId,
                                  const QString &name) = 0;
    /// The screen's schemes: fields FID and FFilterName.
    virtual RecordSetPtr GetFilters(const QString &propsString, const QString &screenId) = 0;
    /// The scheme's text in the field FFilter, quotes single as the grid had them.
    virtual RecordSetPtr GetFilterByID(const QString &propsString, qint32 id) = 0;
};

/// The write side of the serial data service.
class NXSF_STORE_EXPORT SchemeWriterComponent : public Component
{
public:
    /// Saves a SchemeRecord (FScreenID, FFilterName, FFilter with doubled quotes, FSort, IsNew,
    /// mFilterID); afterwards the screen has exactly one scheme of that name.
    virtual void UpdateFilter(const QString &propsString, const KeyedValuesPtr &record) = 0;
    /// True when the scheme was deleted; false or null otherwise.
    virtual QVariant DeleteFilter(const QString &propsString, qint32 id) = 0;
    /// Gives the scheme a new name on its screen; true when renamed, false when the screen
    /// already has that name or the scheme is gone. A service without renames throws.
    virtual QVariant RenameFilter(const QString &propsString, const QString &screenId, qint32 id,
                                  const QString &name);
};

} // namespace NxSerialFilter
