// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_store_export.h>

#include <QList>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace NxSerialFilter {

/// A forward-only set of records as the scheme store returns them. Field names match without
/// regard to letter case. The caller closes it, also after a failure.
class NXSF_STORE_EXPORT RecordSet
{
public:
    enum { StateClosed = 0, StateOpen = 1 };

    /// One field of the current record.
    struct Field
    {
        QVariant Value; ///< the stored value; null for NULL
    };

    /// An open set positioned on the first row; each row holds values in the order of
    /// fieldNames, a short row reads null in the fields it lacks.
    RecordSet(QStringList fieldNames, QList<QVariantList> rows)
        : m_rows(std::move(rows))
    {
        for (const QString &name : fieldNames)
            m_names.append(name.toCaseFolded());
    }

    /// The current record's field; throws when the set is closed, at its end, or has no such
    /// field.
    Field Fields(const QString &name) const;
    /// Whether the set has a field of that name (a host's service may give fewer fields).
    bool hasField(const QString &name) const { return m_names.contains(name.toCaseFolded()); }
    /// True past the last record. (EOF itself is a macro of the C library.)
    bool Eof() const;
    /// Moves to the next record; throws FilterError when closed or already past the last.
    void MoveNext();
    /// Closes the set and drops its records; throws FilterError when already closed.
    void Close();
    /// StateOpen, or StateClosed once Close was called.
    int State() const { return m_open ? StateOpen : StateClosed; }

private:
    NXSF_STORE_NO_EXPORT void requireOpen() const;

    QStringList m_names; // case-folded
    QList<QVariantList> m_rows;
    qsizetype m_at = 0;
    bool m_open = true;
};
/// Shared ownership of a record set; whoever holds it last closes it.
using RecordSetPtr = std::shared_ptr<RecordSet>;

/// Closes a record set when the scope ends, however it ends.
class RecordSetCloser
{
public:
    /// Keeps a reference to records, which must outlive the closer; a null or closed set is
    /// left alone, and a failure to close is swallowed.
    explicit RecordSetCloser(RecordSetPtr &records)
        : m_records(records)
    {}
    ~RecordSetCloser()
    {
        try {
            if (m_records && m_records->State() != RecordSet::StateClosed)
                m_records->Close();
        } catch (...) {
        }
    }
    RecordSetCloser(const RecordSetCloser &) = delete;
    RecordSetCloser &operator=(const RecordSetCloser &) = delete;

private:
    RecordSetPtr &m_records;
};

} // namespace NxSerialFilter
