// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

#include <functional>
#include <memory>

namespace NxSerialFilter {

/// Shows one modal message box and reports the button pressed (1 OK, 6 Yes, 7 No).
/// Replaceable so that tests and headless hosts answer as they are told.
class NXSF_CORE_EXPORT AlertPresenter
{
public:
    virtual ~AlertPresenter();
    /// Shows message under title in a style already normalised (64, 48 or 36) and returns
    /// the button pressed, a nxAlert::Answer. Called on the thread that raised the alert.
    virtual int present(const QString &message, int style, const QString &title) = 0;
};

/// The one alert box of the component and its presenter.
namespace nxAlert {

/// The button an alert was answered with.
enum Answer {
    AnswerOk = 1,     ///< OK, also the answer to a notice
    AnswerCancel = 2, ///< Cancel
    AnswerYes = 6,    ///< Yes to a question
    AnswerNo = 7      ///< No to a question
};
/// The kinds of alert the component shows.
enum Style {
    Information = 64, ///< a notice with OK
    Warning = 48,     ///< a warning with OK
    Question = 36,    ///< a question with Yes and No
    /// Unsaved changes: Save (answered Yes), Discard (No) or stay (Cancel, also Esc). Outside
    /// the numbers a host passes, so a host's own questions keep their two buttons.
    SaveDiscardStay = 0x100 | 32 | 3
};

/// Shows message with the normalised style and the localized title; returns the answer.
NXSF_CORE_EXPORT int ShowAlert(const QString &message, int style);

/// Questions always offer Yes and No: 32, 33, 35 and 36 become 36; others pass unchanged.
inline int normaliseStyle(int style)
{
    switch (style) {
    case 32:
    case 33:
    case 35:
    case 36:
        return Question;
    default:
        return style;
    }
}

/// What the default presenter answers when the host has no windows to show a box in.
inline int windowlessAnswer(int style)
{
    // Nobody can be asked: a question is refused, so nothing is overwritten or deleted unseen.
    if (style == SaveDiscardStay)
        return AnswerNo; // the pick goes on as it did before anyone was asked
    return normaliseStyle(style) == Question ? AnswerNo : AnswerOk;
}

/// Replaces the presenter; a null pointer puts the default one back.
NXSF_CORE_EXPORT void setPresenter(std::shared_ptr<AlertPresenter> presenter);
/// The presenter alerts go to now.
NXSF_CORE_EXPORT std::shared_ptr<AlertPresenter> presenter();
/// Makes a presenter for setPresenter(nullptr) to put back.
using PresenterFactory = std::function<std::shared_ptr<AlertPresenter>()>;
/// Replaces the default presenter (without a widgets layer: answers without asking) and
/// makes a new one current.
NXSF_CORE_EXPORT void setDefaultPresenter(PresenterFactory factory);

} // namespace nxAlert
} // namespace NxSerialFilter
