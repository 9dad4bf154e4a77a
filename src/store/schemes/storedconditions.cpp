// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/storedconditions.h>

#include "core/alerts/alertcapture.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "store/schemes/schemesource.h"

#include <NxSerialFilter/failure.h>

namespace NxSerialFilter::StoredConditions {

ComposedCondition compose(const ConditionComposer &composer, const QString &schemeName,
                          const Answers &answers, SqlEngine engine, Placeholders placeholders)
{
    ComposedCondition result;
    result.failure = ComposedCondition::Failure::Scheme;
    QString text;
    try {
        const AlertCapture capture; // a store that alerts must not open a window here
        const qint32 id = SchemeSource::instance().idOf(composer.screenID(), schemeName);
        if (id <= 0) {
            result.error = Language::text(Texts::schemeNotFound()) + schemeName;
            return result;
        }
        text = SchemeSource::instance().text(id);
    } catch (const std::exception &) {
        result.error = describeFailure(std::current_exception());
        return result;
    }
    return composer.compose(text, answers, engine, placeholders);
}

} // namespace NxSerialFilter::StoredConditions
