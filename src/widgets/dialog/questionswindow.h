// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/composer/questions.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QDate>
#include <QDialog>
#include <QList>

namespace NxSerialFilter {

/// The window that asks, on OK, every question the condition asks when it runs, at once:
/// one editor a question, of the kind its field reads (a date editor with a calendar for a
/// date, whole and decimal numbers for a number). The answers are the condition's for this
/// run only; nothing keeps them.
class NXSF_WIDGETS_AUTOTEST_EXPORT QuestionsWindow : public QDialog
{
    Q_OBJECT
public:
    /// today: what a date question shows first.
    QuestionsWindow(const QList<Question> &questions, QDate today, QWidget *parent = nullptr);

    /// The answers as the editors hold them, by question.
    Answers answers() const;

private:
    QList<Question> m_questions;
    QList<QWidget *> m_editors; // named answer1, answer2, ... in the questions' order
};

} // namespace NxSerialFilter
