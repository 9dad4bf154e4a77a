// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_store_export.h>
#include <NxSerialFilter/schemestore.h>

#include <exception>

namespace NxSerialFilter {

/// The saved schemes as the dialog and the composer of saved schemes use them: values in,
/// values out, texts plain (quotes single) both ways. Each call goes to the data service the
/// registry gives: the scheme store directly for the default service, a host's record sets
/// through the one adapter. Failures throw (FilterError, or whatever a host's service throws).
/// The dialog's library reaches it through the one instance, not a call exported per
/// operation.
class SchemeSource
{
public:
    /// The process's source, over whatever services are registered when a call is made.
    NXSF_STORE_PRIVATE_EXPORT static SchemeSource &instance();

    virtual ~SchemeSource() = default;

    /// The screen's schemes (id, name, rights, default; no text) in the service's order.
    /// Throws when the service answers no records; a failure while reading them is put into
    /// partFailure, when given, with what was read before returned.
    virtual QList<StoredScheme> schemes(const QString &screen, std::exception_ptr *partFailure) = 0;

    /// The stored text of scheme id. Throws when it cannot be read or is no text.
    virtual QString text(qint32 id) = 0;

    /// The id of the scheme saved on screen under name (blanks at both ends ignored), 0 when
    /// there is none; as pick() chooses.
    virtual qint32 idOf(const QString &screen, const QString &name) = 0;

    /// Which of schemes a name (blanks at both ends ignored) leads to: the user's own, else
    /// one without owner, else another's shared one, else another's private one (which only
    /// an administrator sees); 0 when none has the name. Throws FilterError naming their
    /// owners when the first of those that has the name holds schemes of several owners.
    virtual qint32 pick(const QList<StoredScheme> &schemes, const QString &name) const = 0;

    /// Whether the screen has a scheme of that name.
    virtual bool exists(const QString &screen, const QString &name) = 0;

    /// Saves scheme.FFilter under scheme.FScreenID and scheme.FFilterName. isNew says that the
    /// name is not taken; otherwise scheme.FID, when above 0, is the scheme that takes name
    /// and text. Afterwards the screen has exactly one scheme of the name. Returns the saved
    /// scheme's id, or 0 where the service does not tell it (a host's).
    virtual qint32 save(const StoredScheme &scheme, bool isNew) = 0;

    /// True when the scheme was deleted.
    virtual bool remove(qint32 id) = 0;

    /// Gives the screen's scheme id the name; false when the screen already has that name or
    /// the scheme is gone. A service without renames throws.
    virtual bool rename(qint32 id, const QString &screen, const QString &name) = 0;

    /// Whether the service keeps a default scheme per screen: the store's own does; a host's
    /// service has no such notion, so its schemes are never marked.
    virtual bool keepsDefaults() = 0;

    /// Makes the screen's scheme id its default (the screen's other default goes), or with
    /// isDefault false no longer the default. False when nothing changed: the scheme is gone,
    /// not the screen's, or the user may not change it; always false when !keepsDefaults().
    virtual bool setDefault(qint32 id, const QString &screen, bool isDefault) = 0;
};

} // namespace NxSerialFilter
