// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/frmname.h"

#include "core/conditions/conditiongrid.h"
#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"
#include "widgets/support/captionsteps.h"
#include "widgets/support/twips.h"
#include <NxSerialFilter/nxalert.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace NxSerialFilter {

namespace {

/// The name box: every way text arrives obeys NameRules.
class NameEdit : public QLineEdit
{
public:
    explicit NameEdit(QWidget *parent)
        : QLineEdit(parent)
    {
        setAcceptDrops(false);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Paste)) {
            pasteFrom(QClipboard::Clipboard);
            event->accept();
            return;
        }
        // Alt with a letter is a button's mnemonic, never text for the name (AltGr, which
        // some systems report as Ctrl+Alt, still types).
        if ((event->modifiers() & Qt::AltModifier) && !(event->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        const QString typed = event->text();
        QChar key;
        if (event->key() == Qt::Key_Backspace)
            key = QChar(8);
        else if (typed.size() == 1 && typed.at(0).unicode() >= 0x20 && typed.at(0) != QChar(0x7f))
            key = typed.at(0);
        if (!key.isNull() && !NameRules::acceptsKey(text(), key)) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void inputMethodEvent(QInputMethodEvent *event) override
    {
        if (event->commitString().isEmpty()) {
            QLineEdit::inputMethodEvent(event);
            return;
        }
        QInputMethodEvent filtered(event->preeditString(), event->attributes());
        filtered.setCommitString(
            NameRules::insertable(text(), int(selectedText().size()), event->commitString()),
            event->replacementStart(), event->replacementLength());
        QLineEdit::inputMethodEvent(&filtered);
    }

    void contextMenuEvent(QContextMenuEvent *event) override
    {
        QMenu *menu = createStandardContextMenu();
        if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
            paste->disconnect();
            connect(paste, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
        }
        menu->exec(event->globalPos());
        delete menu;
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
            pasteFrom(QClipboard::Selection);
            event->accept();
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
    }

private:
    void pasteFrom(QClipboard::Mode mode)
    {
        if (isReadOnly())
            return;
        const QString piece = NameRules::insertable(text(), int(selectedText().size()),
                                                    QApplication::clipboard()->text(mode));
        if (!piece.isEmpty())
            insert(piece);
    }
};

} // namespace

frmName::frmName(QWidget *parent)
    : QDialog(parent)
    , m_lblAlert(new QLabel(Texts::namePrompt(), this))
    , m_txtName(new NameEdit(this))
    , m_ok(new QPushButton(Texts::ok(), this))
    , m_cancel(new QPushButton(Texts::nameCancel(), this))
{
    setObjectName(QStringLiteral("frmName"));
    setWindowTitle(Texts::nameCaption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(Twips::toPixels(3255, this), Twips::toPixels(2205, this));

    m_lblAlert->setObjectName(QStringLiteral("lblAlert"));
    m_lblAlert->setWordWrap(true);
    m_lblAlert->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblAlert->setBuddy(m_txtName);
    Twips::place(m_lblAlert, 120, 240, 3015, 550);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    Twips::place(m_txtName, 120, 960, 3015, 315);
    m_ok->setObjectName(QStringLiteral("cmdAction0"));
    m_ok->setDefault(true);
    Twips::place(m_ok, 480, 1560, 1080, 315);
    m_cancel->setObjectName(QStringLiteral("cmdAction1"));
    m_cancel->setAutoDefault(false);
    Twips::place(m_cancel, 1680, 1560, 1080, 315);
    setTabOrder(m_txtName, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_txtName->setFocus();

    connect(m_ok, &QPushButton::clicked, this, [this] { cmdAction_Click(0); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cmdAction_Click(1); });
    // Users press Alt+C to cancel in the filter dialog; it cancels here too, beside the
    // button's own mnemonic.
    auto *cancelKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_C), this);
    connect(cancelKey, &QShortcut::activated, m_cancel, &QPushButton::click);
}

std::vector<CaptionStep> frmName::captionSteps()
{
    return {
        {Texts::nameCaption(), [this](const QString &t) { setWindowTitle(t); }},
        {Texts::nameCancel(), [this](const QString &t) { m_cancel->setText(t); }},
        {Texts::ok(), [this](const QString &t) { m_ok->setText(t); }},
        {Texts::namePrompt(), [this](const QString &t) { m_lblAlert->setText(t); }},
    };
}

void frmName::Form_Load()
{
    runCaptionSteps(captionSteps());
    // A screen reader names the box by what it holds and reads the prompt's rules with it.
    m_txtName->setAccessibleName(Language::text(Texts::nameCaption()));
    m_txtName->setAccessibleDescription(m_lblAlert->text());
    Language::applyFormFont(this);
}

void frmName::showModal()
{
    const QtTranslations::Shown shown;
    Form_Load();
    if (QWidget *over = QApplication::activeWindow())
        move(over->frameGeometry().center() - rect().center());
    setWindowModality(Qt::ApplicationModal);
    m_txtName->setFocus();
    exec();
}

void frmName::cmdAction_Click(int index)
{
    if (index == 0) {
        if (!NameRules::canAccept(m_txtName->text())) {
            nxAlert::ShowAlert(Language::text(Texts::enterSchemeName()), nxAlert::Information);
            m_txtName->setFocus();
            return;
        }
        m_schemaName = m_txtName->text();
        accept();
    } else if (index == 1) {
        m_schemaName.clear();
        reject();
    }
}

void frmName::keyPressEvent(QKeyEvent *event)
{
    // No button answers Esc.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace NxSerialFilter
