// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/language/languagestate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

#include <memory>

namespace NxSerialFilter::Testing {

/// While it lives, the current language ("xx") is a translation that gives "等于" the word of
/// "包含", as a host's own translation may: one word at two positions of the comparison list.
class CollidingWords
{
public:
    /// props: further context properties ("SCHEMEDB=...;").
    explicit CollidingWords(const QString &props = QString())
    {
        ComponentRegistry::instance().registerFactory(ComponentId::resourceLoader(),
                                                      [] { return std::make_shared<Loader>(); });
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=xx;") + props);
        Language::reload();
    }
    ~CollidingWords()
    {
        ComponentRegistry::instance().restoreDefaults();
        ContextStore::clear();
        Language::reload();
    }
    CollidingWords(const CollidingWords &) = delete;
    CollidingWords &operator=(const CollidingWords &) = delete;

private:
    class Loader : public ResourceLoaderComponent
    {
    public:
        void setResFileBaseName(const QString &) override {}
        void setLanguageID(const QString &) override {}
        QString LoadString(const QString &key) override
        {
            return key == QStringLiteral("等于") || key == QStringLiteral("包含")
                       ? QStringLiteral("Contains")
                       : key;
        }
        QString LoadString2(const QString &key) override { return LoadString(key); }
    };
};

} // namespace NxSerialFilter::Testing
