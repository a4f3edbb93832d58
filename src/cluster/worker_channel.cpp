// The pumped channel: one waiting update at a time, handed over under a lock.
#include "cluster/worker_channel.h"

#include <chrono>

void PumpedChannel::deliver(const std::function<void()>& update)
{
    std::unique_lock lock(m_mutex);
    m_pending = &update;
    m_wake.notify_all();
    m_wake.wait(lock, [this] { return m_pending == nullptr; });
}

void PumpedChannel::pumpUntil(const std::function<bool()>& done, const std::function<void()>& idle)
{
    while (!done()) {
        std::unique_lock lock(m_mutex);
        if (!m_wake.wait_for(lock, std::chrono::milliseconds(1),
                             [this] { return m_pending != nullptr; })) {
            lock.unlock();
            if (idle)
                idle();
            continue;
        }
        const std::function<void()>* update = m_pending;
        lock.unlock();
        (*update)();
        lock.lock();
        m_pending = nullptr;
        m_wake.notify_all();
    }
}
