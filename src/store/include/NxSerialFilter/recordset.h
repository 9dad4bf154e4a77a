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

    struct Field
    {
        QVariant Value;
    };

    RecordSet(QStringList fieldNames, QList<QVariantList> rows);

    /// The current record's field; throws when the set is closed, at its end, or has no such
    /// field.
    Field Fields(const QString &name) const;
    /// True past the last record. (EOF itself is a macro of the C library.)
    bool Eof() const;
    void MoveNext();
    void Close();
    int State() const { return m_open ? StateOpen : StateClosed; }

private:
    void requireOpen() const;

    QStringList m_names; // case-folded
    QList<QVariantList> m_rows;
    qsizetype m_at = 0;
    bool m_open = true;
};
using RecordSetPtr = std::shared_ptr<RecordSet>;

/// Closes a record set when the scope ends, however it ends.
class NXSF_STORE_EXPORT RecordSetCloser
{
public:
    explicit RecordSetCloser(RecordSetPtr &records)
        : m_records(records)
    {}
    ~RecordSetCloser();
    RecordSetCloser(const RecordSetCloser &) = delete;
    RecordSetCloser &operator=(const RecordSetCloser &) = delete;

private:
    RecordSetPtr &m_records;
};

} // namespace NxSerialFilter
