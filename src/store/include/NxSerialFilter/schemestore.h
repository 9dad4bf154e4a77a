// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_store_export.h>

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace NxSerialFilter {

/// One stored scheme. FFilter is the grid's text as it was before quotes were doubled.
struct StoredScheme
{
    qint32 FID = 0;      ///< the store's id, from 1; 0 for a scheme not yet saved
    QString FScreenID;   ///< the screen the scheme belongs to
    QString FFilterName; ///< the name the user gave it, unique within the screen
    QString FFilter;     ///< the grid as text, as ConditionComposer::compose reads it
    QString FSort;       ///< a sort text kept with the scheme; the dialog saves it empty
};

/// The schemes of every screen in one database: a SQLite file, or a PostgreSQL server when the
/// location is a postgresql:// address. Each write is one transaction with bound parameters;
/// (screen, name) is unique. Failures throw FilterError with the database's own description.
///
/// Connections are kept open per thread, location and access, so creating a store is cheap.
/// A server connection that was lost (a restart) is opened again once, and the operation
/// repeated when nothing of it can have been committed.
class NXSF_STORE_EXPORT SchemeStore
{
public:
    /// The number of every FilterError the store throws.
    static constexpr int FailureNumber = 14430;

    /// What a store opened by this object may do.
    enum class Access {
        ReadWrite, ///< creates the table on first use
        ReadOnly,  ///< changes nothing, not even the file's journal; no table reads as empty
    };

    /// Server timeouts unless the address sets its own. A lock wait gives up before a
    /// statement does, so that its failure says so.
    static constexpr int DefaultConnectTimeout = 5;       ///< seconds to connect
    static constexpr int DefaultStatementTimeout = 10000; ///< milliseconds for one statement
    static constexpr int DefaultLockTimeout = 5000;       ///< milliseconds waiting for a lock

    /// The location named by a context property string: its "SCHEMEDB", else the default file.
    static QString locationFor(const QString &propsString);
    /// schemes.sqlite in the user's application data folder.
    static QString defaultLocation();
    /// True for a postgresql:// address (letter case ignored); anything else names a file.
    static bool isServerAddress(const QString &location);
    /// The location as it may be shown: an address without its password.
    static QString displayName(const QString &location);

    /// Opens the store; for writing, it creates its table on first use.
    explicit SchemeStore(const QString &location, Access access = Access::ReadWrite);

    /// True when the screen has a scheme of that name, letter case included.
    bool exists(const QString &screen, const QString &name);
    /// The screen's schemes (FID and FFilterName only) in the order they were created.
    QList<StoredScheme> schemes(const QString &screen);
    /// Every scheme in full, of one screen or (screen empty) of all screens.
    QList<StoredScheme> fullSchemes(const QString &screen = {});
    /// The stored text; none when the id is not stored or its text is NULL.
    std::optional<QString> text(qint32 id);
    /// Saves by screen and name, replacing the scheme of that name if there is one. With a
    /// replaceId, that scheme of the screen takes the name and text instead (and any other of
    /// that name goes), so the screen ends with exactly one scheme of the name. Returns its id.
    qint32 save(const StoredScheme &scheme, qint32 replaceId = 0);
    /// Saves every scheme by screen and name in one transaction: all or none.
    void saveAll(const QList<StoredScheme> &schemes);
    /// True when a scheme was deleted.
    bool remove(qint32 id);
    /// Gives the screen's scheme id the name, keeping its text. False, with nothing changed,
    /// when the screen has another scheme of that name, the id is not the screen's, or the
    /// name is not one a save could store.
    bool rename(qint32 id, const QString &screen, const QString &name);
    /// The localized message for an id that names no scheme.
    static QString notFoundMessage(qint32 id);
    /// Whether a name that did not come through the name box (an import, say) is one the
    /// dialog could have saved: not empty, no spaces at its ends, no quote, no control
    /// character and at most Limits::MaxSchemeNameLength characters.
    static bool isStorableName(const QString &name);
    /// Throws FilterError (ErrorNumber::TooLarge) when a scheme text, its rows or one of its
    /// cells is over the caps of <NxSerialFilter/limits.h>.
    static void checkSchemeText(const QString &text);

    /// Closes the connections this thread keeps (they reopen on the next use).
    static void closeConnections();

    ~SchemeStore();
    SchemeStore(const SchemeStore &) = delete;
    SchemeStore &operator=(const SchemeStore &) = delete;

    struct Connection; // internal: one open database of this thread

private:
    std::shared_ptr<Connection> m_connection;
};

} // namespace NxSerialFilter
