// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The default language resource loader: Qt translation files NxINDUSTRY_<language>.qm,
// built into the library, with the Chinese source text as the key.

#include "components.h"
#include "defaultcomponents.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTranslator>

#include <memory>

namespace NxSerialFilter {

namespace {

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
        const QString code = language.trimmed().toLower();
        if (code.isEmpty() || code == QLatin1String("chs"))
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
