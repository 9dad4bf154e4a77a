// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/components.h>
#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxserialfilter_export.h>

#include <QString>

#include <memory>

namespace NxSerialFilter {

class FilterPrivate;

/// The component's public class: describe the fields, call ShowFilterForm, read Cancel and
/// FilterSQL.
///
/// Errors reach the host as NxSerialFilter::FilterError in two cases only: ShowFilterForm in
/// serial mode without a SerialDesc (number 91, before any dialog is shown), and
/// setCommonFields when the "ScreenID" entry cannot be turned into text (the reference is
/// stored all the same). A failure while the dialog loads also reaches the caller.
class NXSERIALFILTER_EXPORT Filter
{
public:
    Filter();
    ~Filter();
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;

    void setSerialUse(bool serialUse);
    bool SerialUse() const;
    /// Stores the common values; then ScreenID := their "ScreenID" entry as text.
    void setCommonFields(KeyedValuesPtr commonFields);
    void setScreenID(const QString &screenId);
    QString ScreenID() const;
    void setSerialDesc(KeyedValuesPtr serialDesc);
    /// Outcome of the most recent dialog: true when it was cancelled or closed.
    bool Cancel() const;
    /// The condition of the most recent dialog that ended with OK ("" before any).
    QString FilterSQL() const;
    /// Runs the modal dialog and returns FilterSQL. Both arguments are accepted and ignored.
    QString ShowFilterForm(const QString &strScreenID = QString(), bool blnOverLoad = false);
    QString operator()(const QString &strScreenID = QString(), bool blnOverLoad = false)
    {
        return ShowFilterForm(strScreenID, blnOverLoad);
    }

private:
    friend class FilterTestAccess;
    std::unique_ptr<FilterPrivate> const d;
};

/// What the registry creates for the identifier "NxSerialFilter.Filter".
class NXSERIALFILTER_EXPORT FilterComponent : public Component
{
public:
    Filter filter;
};

} // namespace NxSerialFilter
