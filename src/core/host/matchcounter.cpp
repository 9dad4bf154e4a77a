// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/matchcounter.h>

#include <mutex>

namespace NxSerialFilter {

struct CountControl::State
{
    // Held while the cancel function runs, so that a hook ending on the counting thread
    // waits for it before the count closes what it touches.
    std::mutex mutex;
    bool cancelled = false;
    std::function<void()> onCancel;
    std::function<void(qint64, CountEstimate)> receiver;
};

CountControl::CountControl()
    : d(std::make_shared<State>())
{}

bool CountControl::isCancelled() const
{
    const std::lock_guard lock(d->mutex);
    return d->cancelled;
}

CountControl::Hook CountControl::onCancel(std::function<void()> cancel) const
{
    std::unique_lock lock(d->mutex);
    if (d->cancelled) {
        lock.unlock();
        if (cancel)
            cancel();
        return Hook(d);
    }
    d->onCancel = std::move(cancel);
    return Hook(d);
}

void CountControl::estimate(qint64 records, CountEstimate kind) const
{
    std::function<void(qint64, CountEstimate)> receiver;
    {
        const std::lock_guard lock(d->mutex);
        if (d->cancelled)
            return;
        receiver = d->receiver;
    }
    if (receiver)
        receiver(records, kind);
}

void CountControl::cancel() const
{
    const std::lock_guard lock(d->mutex);
    if (d->cancelled)
        return;
    d->cancelled = true;
    if (d->onCancel)
        std::exchange(d->onCancel, nullptr)();
}

void CountControl::setEstimateReceiver(
    std::function<void(qint64 records, CountEstimate kind)> receiver) const
{
    const std::lock_guard lock(d->mutex);
    d->receiver = std::move(receiver);
}

CountControl::Hook &CountControl::Hook::operator=(Hook &&other) noexcept
{
    if (this != &other) {
        Hook ended(std::move(*this));
        m_state = std::move(other.m_state);
    }
    return *this;
}

CountControl::Hook::~Hook()
{
    if (!m_state)
        return;
    const std::lock_guard lock(m_state->mutex);
    m_state->onCancel = nullptr;
}

} // namespace NxSerialFilter
