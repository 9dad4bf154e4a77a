// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The default form text loader: a font with CJK coverage, so that Chinese captions and the
// host's Chinese field names show real glyphs whatever the language.

#include "core/host/defaultcomponents.h"
#include <NxSerialFilter/components.h>

#include <QFont>
#include <QWidget>

namespace NxSerialFilter {

namespace {

class FormTextLoader : public FormTextLoaderComponent
{
public:
    void SetFrmFont(QWidget *form, QString &language) override
    {
        if (!form)
            return;
        QFont font = form->font();
        const QString code = language.trimmed().toLower();
        const bool chinese =
            code.isEmpty() || code == QLatin1String("chs") || code == QLatin1String("cht");
        QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK TC"),
                             QStringLiteral("WenQuanYi Micro Hei")};
        if (!chinese)
            families.prepend(QStringLiteral("Noto Sans"));
        font.setFamilies(families);
        font.setPointSize(9);
        form->setFont(font);
    }
};

const DefaultComponent registration(ComponentId::formTextLoader(),
                                    [] { return std::make_shared<FormTextLoader>(); });

} // namespace
} // namespace NxSerialFilter
