// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

// Answering the modal windows a step opens, as a user does: only once the window is there
// and has the keyboard, however long a busy machine takes to show it.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace NxSerialFilter::Testing {

/// The modal window of type T that has the keyboard now, else null. A window shown but not
/// yet activated takes no accelerator keys: a key sent to it then would be lost.
template <class T = QWidget> T *activeModal()
{
    auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
    if (!modal || !modal->isVisible() || QApplication::activeWindow() != modal)
        return nullptr;
    return modal;
}

/// Answers each modal window of type T once, as soon as it has the keyboard. A zero-delay
/// timer looks again on every pass of the event loop, so a slow machine makes an answer
/// later, never early or lost. A window whose answer takes a moment to close it (a button's
/// accelerator clicks after a short animation) is not answered twice.
template <class T = QWidget> class ModalAnswers : public QObject
{
public:
    explicit ModalAnswers(std::function<void(T *)> answer)
        : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::look);
        m_timer.start(0);
    }

    int answered = 0;

private:
    void look()
    {
        T *modal = activeModal<T>();
        if (!modal || modal == m_last)
            return;
        m_last = modal;
        ++answered;
        m_answer(modal);
    }

    std::function<void(T *)> m_answer;
    QTimer m_timer;
    QPointer<T> m_last;
};

} // namespace NxSerialFilter::Testing
