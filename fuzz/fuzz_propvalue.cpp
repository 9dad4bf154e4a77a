// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The value of a key in the context property string, against a plain reading of the rule:
// the first occurrence of "key=" anywhere, letters compared by their case folding, up to the
// next ";".

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "fuzzsupport.h"
#include <NxSerialFilter/contextstore.h>

#include <string_view>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

namespace {

QString expectedValue(QString props, const QString &key)
{
    if (!props.endsWith(u';'))
        props += u';';
    const QString pattern = key + u'=';
    const QString foldedProps = props.toCaseFolded();
    const QString foldedPattern = pattern.toCaseFolded();
    const std::u16string_view haystack(reinterpret_cast<const char16_t *>(foldedProps.utf16()),
                                       size_t(foldedProps.size()));
    const std::u16string_view needle(reinterpret_cast<const char16_t *>(foldedPattern.utf16()),
                                     size_t(foldedPattern.size()));
    const size_t at = haystack.find(needle);
    if (at == std::u16string_view::npos)
        return {};
    QString value;
    for (qsizetype i = qsizetype(at) + pattern.size(); i < props.size() && props.at(i) != u';'; ++i)
        value += props.at(i);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    alerts();
    const QString text = textFrom(data, size);
    // The key comes first, ended by a unit separator; without one the dialog's own key.
    const qsizetype split = text.indexOf(QChar(0x1f));
    const QString key = split < 0 ? QStringLiteral("LANGUAGE") : text.left(split);
    const QString props = split < 0 ? text : text.mid(split + 1);

    const QString expected = expectedValue(props, key);
    const QString parsed = HostContext::propertyIn(props, key);
    if (parsed != expected)
        finding(QStringLiteral("propValueIn gives \"%1\", the rule gives \"%2\"")
                    .arg(parsed, expected));
    ContextStore::setPropsString(props);
    const QString fetched = HostContext::property(key);
    if (fetched != expected)
        finding(QStringLiteral("GetPropValue gives \"%1\", the rule gives \"%2\"")
                    .arg(fetched, expected));
    return 0;
}
