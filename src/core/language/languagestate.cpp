// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/language/languagestate.h"

#include "core/host/hostcall.h"
#include "core/host/hostcontext.h"
#include "core/language/qttranslations.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/components.h>

namespace NxSerialFilter::Language {

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
        language = HostContext::property(QStringLiteral("LANGUAGE"));
    QtTranslations::follow(language);
    return language;
}

ResourceLoaderComponent &loaderFor(const QString &language)
{
    auto &loader = state().resourceLoader;
    if (!loader)
        loader = createComponent<ResourceLoaderComponent>(ComponentId::resourceLoader());
    hostCall(ComponentId::resourceLoader(), [&] {
        loader->setResFileBaseName(QStringLiteral("NxINDUSTRY"));
        loader->setLanguageID(language);
    });
    return *loader;
}

/// The one language state of the process.
class ProcessLanguage final : public LanguageState
{
public:
    QString designText(const QString &key) override
    {
        QString result = key;
        try {
            const QString language = state().currentLanguage.isEmpty()
                                         ? HostContext::property(QStringLiteral("LANGUAGE"))
                                         : state().currentLanguage;
            if (language.compare(QLatin1String("chs"), Qt::CaseInsensitive) == 0) {
                result = trimSpaces(key);
                return result.contains(separator()) ? expandParts(result) : result;
            }
            ResourceLoaderComponent &loader = loaderFor(language);
            result = trimSpaces(key);
            if (result.contains(separator()))
                return expandParts(result);
            return hostCall(ComponentId::resourceLoader(),
                            [&] { return loader.LoadString2(result); });
        } catch (const std::exception &) {
            return result;
        }
    }

    void applyFormFont(QWidget *form) override
    {
        currentLanguage();
        auto &loader = state().formTextLoader;
        if (!loader)
            loader = createComponent<FormTextLoaderComponent>(ComponentId::formTextLoader());
        hostCall(ComponentId::formTextLoader(),
                 [&] { loader->SetFrmFont(form, state().currentLanguage); });
        QtTranslations::follow(state().currentLanguage); // the loader may have set another code
    }

    QString cachedCode() override { return state().currentLanguage; }

    bool countShown(int change) override { return QtTranslations::count(change); }
};

} // namespace

QString expandParts(const QString &composite)
{
    static const QString marker = QStringLiteral("~$~");
    QString result;
    const QStringList pieces = composite.split(separator(), Qt::KeepEmptyParts);
    for (const QString &piece : pieces)
        result += piece.startsWith(marker) ? text(piece.mid(marker.size())) : piece;
    return result;
}

void reload()
{
    state() = ModuleState();
}

QString text(const QString &key)
{
    QString result = key;
    try {
        ResourceLoaderComponent &loader = loaderFor(currentLanguage());
        result = trimSpaces(key);
        if (result.contains(separator()))
            return expandParts(result);
        if (result.isEmpty())
            return result;
        return hostCall(ComponentId::resourceLoader(), [&] { return loader.LoadString(result); });
    } catch (const std::exception &) {
        return result;
    }
}

} // namespace NxSerialFilter::Language

namespace NxSerialFilter {

LanguageState &LanguageState::instance()
{
    static Language::ProcessLanguage language;
    return language;
}

} // namespace NxSerialFilter
