// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace NxSerialFilter {

/// What the name box lets through, apart from the window.
namespace NameRules {

/// A box holding more than this many characters refuses every key.
constexpr int KeyLimit = 255;

/// Whether a typed character (Backspace is 8) may reach a box holding current.
NXSERIALFILTER_EXPORT bool acceptsKey(const QString &current, QChar key);
/// The part of text arriving other than by a key (pasted, from an input method) that may
/// replace selectedLength characters of current: no quotes, breaks as spaces, and no more
/// than typing could have reached. Empty when nothing may be inserted.
NXSERIALFILTER_EXPORT QString insertable(const QString &current, int selectedLength,
                                         const QString &text);
/// Whether OK may accept the name as typed.
NXSERIALFILTER_EXPORT bool canAccept(const QString &name);

/// The most characters a name can reach: typing stops one past KeyLimit.
constexpr int MaxLength = KeyLimit + 1;
/// Whether a name that did not come through the box (an import, say) is one that the box and
/// a save could have stored: not empty, no spaces at its ends, no quote, no control character
/// (a line break would forge lines in listings) and at most MaxLength characters.
NXSERIALFILTER_EXPORT bool isStorable(const QString &name);

} // namespace NameRules

/// The small modal dialog in which the user names a scheme being saved. SchemaName holds the
/// name accepted with OK, untrimmed; it stays empty after Cancel or closing the window.
class NXSERIALFILTER_EXPORT frmName : public QDialog
{
    Q_OBJECT
public:
    explicit frmName(QWidget *parent = nullptr);

    QString SchemaName() const { return m_schemaName; }

    /// Captions in their order, each step on its own, then the form font (which may throw).
    void Form_Load();
    /// Loads, then shows the dialog modally until it closes.
    void showModal();
    /// 0 is OK, 1 is Cancel.
    void cmdAction_Click(int index);

    struct CaptionStep
    {
        QString key;
        std::function<void(const QString &)> write;
    };
    std::vector<CaptionStep> captionSteps();

    QLabel *lblAlert() const { return m_lblAlert; }
    QLineEdit *txtName() const { return m_txtName; }
    QPushButton *cmdAction(int index) const { return index == 0 ? m_ok : m_cancel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_schemaName;
    QLabel *m_lblAlert;
    QLineEdit *m_txtName;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace NxSerialFilter
