// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The default language resource loader: Qt translation files NxINDUSTRY_<language>.qm,
// built into the library, with the Chinese source text as the key.

#include "core/host/defaultcomponents.h"
#include <NxSerialFilter/components.h>

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTranslator>

#include <memory>

namespace NxSerialFilter {

namespace {

/// A language code names a file beside the others: a short plain name, never a path that
/// would reach a translation file elsewhere.
bool isLanguageName(QStringView code)
{
    constexpr qsizetype longest = 32;
    if (code.isEmpty() || code.size() > longest)
        return false;
    for (const QChar ch : code) {
        const char16_t c = ch.unicode();
        const bool plain =
            (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
        if (!plain)
            return false;
    }
    return true;
}

class TranslationLoader : public ResourceLoaderComponent
{
public:
    void setResFileBaseName(const QString &name) override { m_baseName = name; }
    void setLanguageID(const QString &language) override { m_language = language; }
    QString LoadString(const QString &key) override { return translate(key); }
    QString LoadString2(const QString &key) override { return translate(key); }

private:
    QString translate(const QString &key)
    {
        const QTranslator *translator = translatorFor(m_baseName, m_language);
        if (!translator)
            return key;
        const QString text = translator->translate("NxINDUSTRY", key.toUtf8().constData());
        return text.isEmpty() ? key : text;
    }

    const QTranslator *translatorFor(const QString &baseName, const QString &language)
    {
        if (language.size() > 64) // not worth trimming: no code is that long
            return nullptr;
        const QString code = language.trimmed().toLower();
        if (code == QLatin1String("chs") || !isLanguageName(code))
            return nullptr; // the keys are the simplified Chinese texts
        const QString file = baseName + u'_' + code;
        auto it = m_translators.find(file);
        if (it == m_translators.end()) {
            auto translator = std::make_unique<QTranslator>();
            const QStringList places{QStringLiteral(":/i18n"),
                                     QCoreApplication::applicationDirPath() +
                                         QStringLiteral("/translations"),
                                     QCoreApplication::applicationDirPath()};
            bool loaded = false;
            for (const QString &dir : places) {
                if (translator->load(file, dir)) {
                    loaded = true;
                    break;
                }
            }
            it = m_translators.insert(
                file, loaded ? std::shared_ptr<QTranslator>(std::move(translator)) : nullptr);
        }
        return it->get();
    }

    QString m_baseName;
    QString m_language;
    QHash<QString, std::shared_ptr<QTranslator>> m_translators;
};

const DefaultComponent registration(ComponentId::resourceLoader(),
                                    [] { return std::make_shared<TranslationLoader>(); });

} // namespace
} // namespace NxSerialFilter
