// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/nxalert.h>

#include "core/alerts/alertcapture.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

namespace NxSerialFilter {

AlertPresenter::~AlertPresenter() = default;

namespace {

/// Answers without asking anybody: the presenter of a process without the widgets layer.
class WindowlessPresenter : public AlertPresenter
{
public:
    int present(const QString &, int style, const QString &) override
    {
        return nxAlert::windowlessAnswer(style);
    }
};

nxAlert::PresenterFactory &defaultFactory()
{
    static nxAlert::PresenterFactory f = [] { return std::make_shared<WindowlessPresenter>(); };
    return f;
}

std::shared_ptr<AlertPresenter> &currentPresenter()
{
    static std::shared_ptr<AlertPresenter> p = defaultFactory()();
    return p;
}

} // namespace

namespace nxAlert {

int ShowAlert(const QString &message, int style)
{
    const int shown = normaliseStyle(style);
    if (AlertCapture *capture = AlertCapture::current()) {
        capture->record(message);
        return windowlessAnswer(shown);
    }
    const QString title = Language::text(Texts::alertTitle());
    return currentPresenter()->present(message, shown, title);
}

void setPresenter(std::shared_ptr<AlertPresenter> p)
{
    currentPresenter() = p ? std::move(p) : defaultFactory()();
}

void setDefaultPresenter(PresenterFactory factory)
{
    if (!factory)
        return;
    defaultFactory() = std::move(factory);
    currentPresenter() = defaultFactory()();
}

std::shared_ptr<AlertPresenter> presenter()
{
    return currentPresenter();
}

} // namespace nxAlert
} // namespace NxSerialFilter
