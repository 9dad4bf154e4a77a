// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/questionswindow.h"

#include "core/conditions/conditiongrid.h"
#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace NxSerialFilter {

QuestionsWindow::QuestionsWindow(const QList<Question> &questions, QDate today, QWidget *parent)
    : QDialog(parent)
    , m_questions(questions)
{
    setObjectName(QStringLiteral("frmQuestions"));
    setWindowTitle(Language::text(Texts::questionsCaption()));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Language::text(Texts::questionsPrompt()), this));
    auto *form = new QFormLayout;
    layout->addLayout(form);
    for (const Question &question : questions) {
        QWidget *editor = nullptr;
        if (question.kind == ValueKind::Date) {
            auto *date = new QDateEdit(today, this);
            date->setCalendarPopup(true);
            date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
            date->setLocale(QtTranslations::localeFor(Language::cachedCode()));
            editor = date;
        } else {
            auto *line = new QLineEdit(this);
            if (question.kind == ValueKind::Number) {
                auto *number = new QDoubleValidator(line);
                number->setLocale(QLocale::c());
                line->setValidator(number);
            }
            editor = line;
        }
        editor->setObjectName(QStringLiteral("answer") + QString::number(m_editors.size() + 1));
        editor->setAccessibleName(question.text);
        auto *label = new QLabel(question.text, this);
        label->setBuddy(editor);
        form->addRow(label, editor);
        m_editors.append(editor);
    }
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(Language::text(Texts::ok()), QDialogButtonBox::AcceptRole);
    buttons->addButton(Language::text(Texts::cancel()), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QuestionsWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QuestionsWindow::reject);
    layout->addWidget(buttons);
    Language::applyFormFont(this);
    if (!m_editors.isEmpty())
        m_editors.first()->setFocus();
}

Answers QuestionsWindow::answers() const
{
    Answers answers;
    for (qsizetype i = 0; i < m_questions.size(); ++i) {
        QString answer;
        if (const auto *date = qobject_cast<const QDateEdit *>(m_editors.at(i)))
            answer = date->date().toString(Qt::ISODate);
        else if (const auto *line = qobject_cast<const QLineEdit *>(m_editors.at(i)))
            answer = line->text();
        // As a cell would hold it: no break or TAB inside a value.
        answers.insert(m_questions.at(i).text, ConditionGrid::cellSafe(answer));
    }
    return answers;
}

} // namespace NxSerialFilter
