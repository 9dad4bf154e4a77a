// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/schemes/schemetext.h"

#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter::SchemeText {

namespace {

[[noreturn]] void refuse(QString (*what)(), qsizetype cap)
{
    throw FilterError(ErrorNumber::TooLarge, QStringLiteral("SchemeText"),
                      Language::text(what()) + QString::number(cap));
}

} // namespace

void checkLength(qsizetype length)
{
    if (length > MaxTextLength)
        refuse(Texts::schemeTextTooLong, MaxTextLength);
}

void checkSize(QStringView text)
{
    checkLength(text.size());
    qsizetype rows = 1;
    qsizetype cell = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\t' || ch == u'\r' || ch == u'\n') {
            cell = 0;
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n' && ++rows > MaxRows)
                refuse(Texts::schemeTooManyRows, MaxRows);
        } else if (++cell > MaxCellLength) {
            refuse(Texts::cellTooLong, MaxCellLength);
        }
    }
}

} // namespace NxSerialFilter::SchemeText
