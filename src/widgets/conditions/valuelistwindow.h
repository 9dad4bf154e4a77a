// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/conditions/valuewords.h"
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;
class QPlainTextEdit;

namespace NxSerialFilter {

/// The F7 window of a value list's cell: every value on a line of its own, to read, correct or
/// paste a spreadsheet's column into. OK hands the text to the taker, which splits it as a paste
/// into the cell is split and may refuse it; the window then stays open.
class NXSF_WIDGETS_AUTOTEST_EXPORT ValueListWindow : public QDialog
{
    Q_OBJECT
public:
    using Taker = std::function<bool(const QString &text)>;

    /// list: the cell's text, values separated by ",".
    ValueListWindow(const QString &list, Taker take, QWidget *parent = nullptr);

    /// The values the text holds now.
    PastedValues values() const;
    QPlainTextEdit *editor() const { return m_editor; }
    /// The line under the text that counts its values and repeats.
    QLabel *countLine() const { return m_count; }

    void accept() override;

private:
    void recount();

    Taker m_take;
    QPlainTextEdit *m_editor;
    QLabel *m_count;
    QTimer m_recount; // a long list is counted once the typing pauses
};

} // namespace NxSerialFilter
