// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/recordset.h>

#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

void RecordSet::requireOpen() const
{
    if (!m_open)
        throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("RecordSet"),
                          Language::text(Texts::recordSetClosed()));
}

RecordSet::Field RecordSet::Fields(const QString &name) const
{
    requireOpen();
    const qsizetype column = m_names.indexOf(name.toCaseFolded());
    if (column < 0)
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("RecordSet"),
                          Language::text(Texts::recordSetNoField()) + name);
    if (m_at >= m_rows.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("RecordSet"),
                          Language::text(Texts::recordSetNoRecord()));
    const QVariantList &row = m_rows.at(m_at);
    return {column < row.size() ? row.at(column) : QVariant()};
}

bool RecordSet::Eof() const
{
    requireOpen();
    return m_at >= m_rows.size();
}

void RecordSet::MoveNext()
{
    requireOpen();
    if (m_at >= m_rows.size())
        throw FilterError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("RecordSet"),
                          Language::text(Texts::recordSetNoRecord()));
    ++m_at;
}

void RecordSet::Close()
{
    requireOpen();
    m_open = false;
    m_rows.clear();
}

} // namespace NxSerialFilter
