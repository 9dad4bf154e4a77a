// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include "core/schemes/namerules.h"
#include "widgets/support/captionsteps.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace NxSerialFilter {

/// The small modal dialog in which the user names a scheme being saved. SchemaName holds the
/// name accepted with OK, untrimmed; it stays empty after Cancel or closing the window.
class NXSF_WIDGETS_AUTOTEST_EXPORT frmName : public QDialog
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

    /// The captions localized when the dialog loads, in their order.
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
