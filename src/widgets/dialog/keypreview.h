// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;

namespace NxSerialFilter {

class frmFilter;

/// The filter dialog sees every key first: F1 for help, the grid's key-down handling and the
/// character filter of the grid's columns, wherever the dialog's focus is. Installed on the
/// application while the dialog lives, so that keys of its pop-ups pass here too.
class KeyPreview : public QObject
{
public:
    explicit KeyPreview(frmFilter &form);
    ~KeyPreview() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool ownsWidget(const QObject *object) const;
    /// True when the key is discarded.
    bool previewKey(QObject *watched, QKeyEvent *key);

    frmFilter &m_form;
    // The key press last previewed and its first receiver: a key that the receiver ignores
    // travels on to the parents and must not be previewed again.
    const QEvent *m_lastKeyEvent = nullptr;
    QPointer<QObject> m_lastKeyReceiver;
};

} // namespace NxSerialFilter
