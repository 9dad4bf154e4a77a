// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_store_export.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace NxSerialFilter {

/// Who may see and change a stored scheme. Only a server store keeps owners; on SQLite a scheme
/// has none and may be changed by every user. A server's scheme saved before owners were kept
/// has none either: every user sees it, only an administrator changes it.
struct SchemeRights
{
    QString owner;         ///< the database role that saved it; empty when it has none
    bool shared = false;   ///< seen by every user of the store, not only by its owner
    bool mayChange = true; ///< whether the connecting role may change or delete it
    /// Whether it is the connecting role's own (on a store without owners, every scheme is):
    /// a name leads to one's own scheme first, and only one's own can be one's default.
    bool own = false;

    /// Equal when owner, sharing, right to change and ownership are all equal.
    bool operator==(const SchemeRights &) const = default;
};

/// One stored scheme. FFilter is the grid's text as it was before quotes were doubled.
struct StoredScheme
{
    qint32 FID = 0;           ///< the store's id, from 1; 0 for a scheme not yet saved
    QString FScreenID;        ///< the screen the scheme belongs to
    QString FFilterName;      ///< the name the user gave it, unique within the screen
    QString FFilter;          ///< the grid as text, as ConditionComposer::compose reads it
    QString FSort;            ///< a sort text kept with the scheme; the dialog saves it empty
    SchemeRights rights = {}; ///< as read; a save ignores it (see saveAll and setShared)
    bool isDefault = false;   ///< the screen's default scheme; save ignores it (see setDefault),
                              ///< saveAll makes the scheme its screen's default
};

/// The schemes of every screen in one database: a SQLite file, or a PostgreSQL server when the
/// location is a postgresql:// address. Each write is one transaction with bound parameters;
/// (screen, name) is unique, on a server per owner. Failures throw FilterError with the database's
/// own description.
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
    /// Milliseconds beyond the connect and statement timeouts after which the client itself
    /// ends an operation on a server that does not answer (a stalled server or network).
    static constexpr int StallGrace = 3000;

    /// The location named by a context property string: its "SCHEMEDB", else the default file.
    static QString locationFor(const QString &propsString);
    /// schemes.sqlite in the user's application data folder.
    static QString defaultLocation();
    /// True for a postgresql:// address (letter case ignored); anything else names a file.
    static bool isServerAddress(const QString &location)
    {
        return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive);
    }
    /// The location as it may be shown: an address without its password, however given (the
    /// user part, a password= option); one that cannot be read without its user part and
    /// options.
    static QString displayName(const QString &location);

    /// Opens the store; for writing, it creates its table on first use.
    explicit SchemeStore(const QString &location, Access access = Access::ReadWrite);

    /// True when the screen has a scheme of that name, letter case included.
    bool exists(const QString &screen, const QString &name);
    /// The screen's schemes (FID, FFilterName, rights and isDefault) in the order they were
    /// created, at most one of them the default (on a server, the role's own default only);
    /// rows that cannot be read within the caps are left out (see refusals()).
    QList<StoredScheme> schemes(const QString &screen);
    /// Every scheme in full, of one screen or (screen empty) of all screens.
    QList<StoredScheme> fullSchemes(const QString &screen = {});
    /// The stored text; none when the id is not stored or its text is NULL.
    std::optional<QString> text(qint32 id);
    /// Saves by screen and name, replacing the scheme of that name if there is one. With a
    /// replaceId, that scheme of the screen takes the name and text instead (and any other of
    /// that name goes), so the screen ends with exactly one scheme of the name. Returns its id.
    qint32 save(const StoredScheme &scheme, qint32 replaceId = 0);
    /// Saves every scheme by screen and name in one transaction: all or none. On a server
    /// the schemes are the connecting role's own, shared with every user when shared is true
    /// (a scheme replaced keeps whether it was shared unless shared is given). A scheme marked
    /// isDefault becomes its screen's default as setDefault makes it, in the same transaction
    /// (of several for one screen, the last; none is saved when the store keeps no defaults,
    /// see setDefault). Each statement has the stall budget of a whole
    /// operation, so a large import is never cut off while the server answers.
    void saveAll(const QList<StoredScheme> &schemes, std::optional<bool> shared = {});
    /// Shares or stops sharing the connecting role's own scheme of that screen and name (a
    /// server store only). False when the role has no such scheme.
    bool share(const QString &screen, const QString &name, bool shared);
    /// The same for a scheme by id, which the role may change (its own, or any for the store's
    /// administrator). False when there is no such scheme or it has no owner.
    bool setShared(qint32 id, bool shared);
    /// Makes the screen's scheme id its default, and the screen's other default (on a server,
    /// the role's other default) no longer one; with isDefault false, only the scheme id stops
    /// being the default. False, with nothing changed, when the id is not the screen's or (on a
    /// server) not the role's own: each role's default is its own mark on its own scheme. Throws
    /// when the store keeps no defaults (a server table of another role that was made before them).
    bool setDefault(qint32 id, const QString &screen, bool isDefault);
    /// Whether the store keeps owners and rights (a server store set up by this version).
    bool keepsOwners() const;
    /// Creates a server store (its table, row-level rights and grants), owned by the
    /// connecting role, and lets the members of usersRole (every role when empty) use it.
    /// Also brings a store made before owners were kept up to date.
    static void initialize(const QString &location, const QString &usersRole = {});
    /// True when a scheme was deleted.
    bool remove(qint32 id);
    /// Gives the screen's scheme id the name, keeping its text. False, with nothing changed,
    /// when the screen has another scheme of that name, the id is not the screen's, or the
    /// name is not one a save could store.
    bool rename(qint32 id, const QString &screen, const QString &name);
    /// The localized message for an id that names no scheme.
    static QString notFoundMessage(qint32 id);
    /// The localized message for a name that names no scheme of a screen, the name written
    /// as printable() writes it.
    static QString notFoundMessage(const QString &name);
    /// text with every control, format and separator character and every backslash written
    /// as an escape (\\u202e, \\\\), so that a listing shows exactly what a stored name or
    /// screen holds and a name cannot forge lines of it.
    static QString printable(const QString &text);
    /// Whether a name that did not come through the name box (an import, say) is one the
    /// dialog could have saved: not empty, no spaces at its ends, no quote, no control
    /// character and at most Limits::MaxSchemeNameLength characters.
    static bool isStorableName(const QString &name);
    /// Throws FilterError when the scheme may not be saved: a name the dialog could not have
    /// saved (isStorableName), a screen id with a control character or longer than
    /// Limits::MaxScreenIdLength, or a text over the caps of <NxSerialFilter/limits.h>
    /// (ErrorNumber::TooLarge). save and saveAll check every scheme so.
    static void checkScheme(const StoredScheme &scheme);
    /// The rows that the last schemes() or fullSchemes() left out, one description each: an
    /// id outside the 32-bit range, or a text over the caps (never read into memory).
    QStringList refusals() const { return m_refusals; }

    /// Closes the connections this thread keeps (they reopen on the next use).
    static void closeConnections();

    ~SchemeStore();
    SchemeStore(const SchemeStore &) = delete;
    SchemeStore &operator=(const SchemeStore &) = delete;

    struct Connection; // internal: one open database of this thread

private:
    std::shared_ptr<Connection> m_connection;
    QStringList m_refusals;
};

} // namespace NxSerialFilter
