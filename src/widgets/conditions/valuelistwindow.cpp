// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/valuelistwindow.h"

#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace NxSerialFilter {

ValueListWindow::ValueListWindow(const QString &list, Taker take, QWidget *parent)
    : QDialog(parent)
    , m_take(std::move(take))
    , m_editor(new QPlainTextEdit(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("frmValueList"));
    setWindowTitle(Language::text(Texts::pasteValuesTitle()));
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(Language::text(Texts::pasteValuesPrompt()), this);
    prompt->setBuddy(m_editor);
    layout->addWidget(prompt);
    // The values hold no ",": it is what separates them in the cell.
    m_editor->setPlainText(QString(list).replace(u',', u'\n'));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editor->setTabChangesFocus(true); // a tab would only separate two values
    m_editor->setAccessibleName(prompt->text());
    layout->addWidget(m_editor);
    m_count->setObjectName(QStringLiteral("lblCount"));
    layout->addWidget(m_count);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(Language::text(Texts::ok()), QDialogButtonBox::AcceptRole);
    buttons->addButton(Language::text(Texts::cancel()), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &ValueListWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ValueListWindow::reject);
    layout->addWidget(buttons);
    m_recount.setSingleShot(true);
    m_recount.setInterval(150);
    connect(&m_recount, &QTimer::timeout, this, &ValueListWindow::recount);
    connect(m_editor, &QPlainTextEdit::textChanged, &m_recount, qOverload<>(&QTimer::start));
    Language::applyFormFont(this);
    recount();
    resize(320, 360);
    m_editor->setFocus();
}

PastedValues ValueListWindow::values() const
{
    return splitPastedValues(m_editor->toPlainText());
}

void ValueListWindow::recount()
{
    m_count->setText(values().message());
}

void ValueListWindow::accept()
{
    recount();
    if (m_take && !m_take(m_editor->toPlainText())) {
        m_editor->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace NxSerialFilter
