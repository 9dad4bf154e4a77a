// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringList>

namespace NxSerialFilter {

namespace Vocabulary {

/// Design-time items of the logic, left-parenthesis, comparison and right-parenthesis lists.
QStringList logicItems();
NXSF_CORE_AUTOTEST_EXPORT QStringList leftParenItems();
QStringList compareItems();
NXSF_CORE_AUTOTEST_EXPORT QStringList rightParenItems();

/// The words a condition is shown in, in one language: looked up once.
class WordBook
{
public:
    /// Words of language ("en", ...); empty for the current language, as the lists show them.
    explicit WordBook(const QString &language = QString());
    QString logic(LogicOp op) const;
    QString compare(CompareOp op) const;
    /// "(无)".
    QString noField() const { return m_noField; }
    /// A date cell's text in this language: the word of a relative date that op compares
    /// with translated, any other text as it is.
    QString dateValue(const QString &text, CompareOp op) const;
    /// A value as the words show it on a field of fieldKind compared by op: another field as
    /// "字段【订购数量】", the word 当前用户 and a date's word in this language, any other text
    /// as it is.
    QString value(const ConditionValue &value, ValueKind fieldKind, CompareOp op) const;

private:
    QString m_language;
    QStringList m_logic;
    QStringList m_compare;
    QString m_noField;
};

/// A design-time list as every language the component ships shows it, the source language
/// first; positions stay those of the design list.
QList<QStringList> inShippedLanguages(const QStringList &designItems);

/// The translation of key in language ("en", ...); the current language when empty. A language
/// that cannot be read gives the key.
QString translated(const QString &key, const QString &language);

/// The SQL words behind the logic and comparison lists, by index.
QStringList logicWords();
QStringList compareWords();

/// The dialog's filter on every typed character: a single quote is refused everywhere;
/// column 2 takes only "(", column 7 only ")". Returns the character to pass, 0 to discard.
NXSF_CORE_AUTOTEST_EXPORT ushort keptKey(ushort keyAscii, int activeCol);

/// Whether a comparison text is the localized "为空" or "不为空".
NXSF_CORE_AUTOTEST_EXPORT bool isEmptyTest(const QString &compareText);

/// A message about one condition row, localized and naming the row: "第2行：" and the text
/// of key.
QString rowMessage(int row, const QString &key);

} // namespace Vocabulary
} // namespace NxSerialFilter
