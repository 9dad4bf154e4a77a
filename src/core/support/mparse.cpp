// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/support/mparse.h"

#include "core/support/mmts.h"
#include "core/support/qttranslations.h"
#include "core/support/spaces.h"
#include <NxSerialFilter/components.h>

namespace NxSerialFilter::MParse {

namespace {

struct ModuleState
{
    QString currentLanguage;
    std::shared_ptr<ResourceLoaderComponent> resourceLoader;
    std::shared_ptr<FormTextLoaderComponent> formTextLoader;
};

ModuleState &state()
{
    static ModuleState s;
    return s;
}

const QString &separator()
{
    static const QString s = QStringLiteral("^|^");
    return s;
}

/// The cached language, read from the context while none is cached. Qt's own texts follow
/// it, so that the standard buttons speak the dialog's language.
const QString &currentLanguage()
{
    QString &language = state().currentLanguage;
    if (language.isEmpty())
        language = GetPropValue(QStringLiteral("LANGUAGE"));
    QtTranslations::follow(language);
    return language;
}

ResourceLoaderComponent &loaderFor(const QString &language)
{
    auto &loader = state().resourceLoader;
    if (!loader)
        loader = createComponent<ResourceLoaderComponent>(ComponentId::resourceLoader());
    loader->setResFileBaseName(QStringLiteral("NxINDUSTRY"));
    loader->setLanguageID(language);
    return *loader;
}

} // namespace

QString GetPropValue(const QString &key)
{
    QString props;
    try {
        props = MMTS::GetPropsString();
    } catch (...) {
        props.clear();
    }
    try {
        return propValueIn(props, key);
    } catch (...) {
        return {};
    }
}

QString LoadLangString2(const QString &key)
{
    QString result = key;
    try {
        const QString language = state().currentLanguage.isEmpty()
                                     ? GetPropValue(QStringLiteral("LANGUAGE"))
                                     : state().currentLanguage;
        if (language.compare(QLatin1String("chs"), Qt::CaseInsensitive) == 0) {
            result = trimSpaces(key);
            return result.contains(separator()) ? ExpandLangParts(result) : result;
        }
        ResourceLoaderComponent &loader = loaderFor(language);
        result = trimSpaces(key);
        if (result.contains(separator()))
            return ExpandLangParts(result);
        return loader.LoadString2(result);
    } catch (...) {
        return result;
    }
}

QString ExpandLangParts(const QString &text)
{
    static const QString marker = QStringLiteral("~$~");
    QString result;
    const QStringList pieces = text.split(separator(), Qt::KeepEmptyParts);
    for (const QString &piece : pieces)
        result += piece.startsWith(marker) ? LoadLangString(piece.mid(marker.size())) : piece;
    return result;
}

void ApplyFormFont(QWidget *form)
{
    currentLanguage();
    auto &loader = state().formTextLoader;
    if (!loader)
        loader = createComponent<FormTextLoaderComponent>(ComponentId::formTextLoader());
    loader->SetFrmFont(form, state().currentLanguage);
    QtTranslations::follow(state().currentLanguage); // the loader may have set another code
}

QString CurrentLanguage()
{
    return state().currentLanguage;
}

void resetModuleState()
{
    state() = ModuleState();
}

} // namespace NxSerialFilter::MParse

namespace NxSerialFilter {

// Here, beside the language state it reads; the dialog calls it as MParse::LoadLangString.
QString Language::text(const QString &key)
{
    QString result = key;
    try {
        ResourceLoaderComponent &loader = MParse::loaderFor(MParse::currentLanguage());
        result = trimSpaces(key);
        if (result.contains(MParse::separator()))
            return MParse::ExpandLangParts(result);
        if (result.isEmpty())
            return result;
        return loader.LoadString(result);
    } catch (...) {
        return result;
    }
}

} // namespace NxSerialFilter
