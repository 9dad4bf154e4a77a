// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/vocabulary.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuewords.h"
#include "core/host/hostcall.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include <NxSerialFilter/components.h>

namespace NxSerialFilter::Vocabulary {

QStringList logicItems()
{
    return {Texts::logicAnd(), Texts::logicOr()};
}

QStringList compareItems()
{
    return {Texts::compareEqual(),       Texts::compareGreater(),        Texts::compareLess(),
            Texts::compareLessOrEqual(), Texts::compareGreaterOrEqual(), Texts::compareNotEqual(),
            Texts::compareContains(),    Texts::compareNotContains(),    Texts::compareIsEmpty(),
            Texts::compareIsNotEmpty(),  Texts::compareInList(),         Texts::compareNotInList()};
}

namespace {
QString baseName()
{
    return QStringLiteral("NxINDUSTRY");
}
} // namespace

namespace {

std::shared_ptr<ResourceLoaderComponent> loaderFor(const QString &language)
{
    auto loader = createComponent<ResourceLoaderComponent>(ComponentId::resourceLoader());
    loader->setResFileBaseName(baseName());
    loader->setLanguageID(language);
    return loader;
}

/// Reads words of a language with the resource loader, a host's component: whatever it throws
/// comes back as a std::exception.
template <class Read> auto readLanguage(const QString &language, Read &&read)
{
    return hostCall(ComponentId::resourceLoader(), [&] { return read(*loaderFor(language)); });
}

} // namespace

WordBook::WordBook(const QString &language)
    : m_language(language)
{
    const QStringList logic = logicItems();
    const QStringList compare = compareItems();
    if (language.isEmpty()) {
        for (const QString &key : logic)
            m_logic.append(Language::designText(key));
        for (const QString &key : compare)
            m_compare.append(Language::designText(key));
        m_noField = Language::text(Texts::noField());
        return;
    }
    try {
        readLanguage(language, [&](ResourceLoaderComponent &loader) {
            for (const QString &key : logic)
                m_logic.append(loader.LoadString2(key));
            for (const QString &key : compare)
                m_compare.append(loader.LoadString2(key));
            m_noField = loader.LoadString(Texts::noField());
        });
    } catch (const std::exception &) {
        // A language that cannot be read shows the words as designed.
        m_logic = logic;
        m_compare = compare;
        m_noField = Texts::noField();
    }
}

QString WordBook::logic(LogicOp op) const
{
    return m_logic.value(int(op));
}

QString WordBook::compare(CompareOp op) const
{
    return m_compare.value(int(op));
}

QString WordBook::dateValue(const QString &text, CompareOp op) const
{
    // Patterns and lists hold no dates.
    if (op < CompareOp::Equal || op > CompareOp::NotEqual)
        return text;
    const std::optional<RelativeDate> word = RelativeDate::read(text);
    return word ? word->word(m_language) : text;
}

QString WordBook::value(const ConditionValue &value, ValueKind fieldKind, CompareOp op) const
{
    if (value.kind() == ValueKind::Field) // one argument: a caption may hold "%1" itself
        return translated(Texts::fieldValue(), m_language).arg(value.text());
    if (CurrentUser::takesWord(fieldKind, op) && CurrentUser::isWord(value.text()))
        return CurrentUser::word(m_language);
    return fieldKind == ValueKind::Date ? dateValue(value.text(), op) : value.text();
}

QList<QStringList> inShippedLanguages(const QStringList &designItems)
{
    QList<QStringList> lists{designItems};
    for (const QString &language : Language::shipped()) {
        try {
            // A loader of its own: the one the dialog shares stays set to the current language.
            lists.append(readLanguage(language, [&](ResourceLoaderComponent &loader) {
                QStringList list;
                for (const QString &item : designItems)
                    list.append(loader.LoadString2(item));
                return list;
            }));
        } catch (const std::exception &) {
            // A language that cannot be read matches nothing.
        }
    }
    return lists;
}

QString translated(const QString &key, const QString &language)
{
    if (language.isEmpty())
        return Language::text(key);
    try {
        return readLanguage(
            language, [&](ResourceLoaderComponent &loader) { return loader.LoadString(key); });
    } catch (const std::exception &) {
        return key;
    }
}

QStringList logicWords()
{
    return {QStringLiteral("And"), QStringLiteral("Or")};
}

QStringList compareWords()
{
    return {QStringLiteral("="),           QStringLiteral(">"),        QStringLiteral("<"),
            QStringLiteral("<="),          QStringLiteral(">="),       QStringLiteral("<>"),
            QStringLiteral("Like"),        QStringLiteral("Not Like"), QStringLiteral("Is null"),
            QStringLiteral("Is not null"), QStringLiteral("In"),       QStringLiteral("Not In")};
}

QString rowMessage(int row, const QString &key)
{
    return Language::text(Texts::rowPrefix()) + QString::number(row) +
           Language::text(Texts::rowSuffix()) + Language::text(key);
}

} // namespace NxSerialFilter::Vocabulary
