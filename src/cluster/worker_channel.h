#pragma once
// How the clustering worker's updates reach the interface thread: each one runs there, in
// order, while the worker waits for it. The window delivers through its event loop; the batch
// tool and the tests through a channel that the interface thread pumps.

#include <condition_variable>
#include <functional>
#include <mutex>

class WorkerChannel {
public:
    virtual ~WorkerChannel() = default;
    // Called on the worker; returns once the update has run on the interface thread.
    virtual void deliver(const std::function<void()>& update) = 0;
};

class PumpedChannel final : public WorkerChannel {
public:
    void deliver(const std::function<void()>& update) override;
    // On the interface thread: runs the delivered updates until done() holds (asked before
    // each wait and after each update); while no update is waiting, idle() runs every
    // millisecond or so, as the window's other events would.
    void pumpUntil(const std::function<bool()>& done, const std::function<void()>& idle = {});

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    const std::function<void()>* m_pending = nullptr;
};
