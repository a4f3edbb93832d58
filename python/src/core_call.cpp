// The worker thread, the message log and the exception type of calls into the core.
#include "core_call.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// The core's tables, pools and interface are process-wide: one call at a time.
std::mutex g_coreMutex;

py::object& errorType()
{
    static py::object type;
    return type;
}

// The interface that was installed before a call, restored after it.
class InstalledUi {
public:
    explicit InstalledUi(Ui& replacement) : m_previous(&ui()) { setUi(&replacement); }
    ~InstalledUi() { setUi(m_previous); }
    InstalledUi(const InstalledUi&) = delete;
    InstalledUi& operator=(const InstalledUi&) = delete;

private:
    Ui* m_previous;
};

// A worker thread whose end the caller awaits in slices.
class Worker {
public:
    explicit Worker(const std::function<void()>& work)
        : m_thread([this, &work] {
              try {
                  work();
              } catch (...) {
                  m_error = std::current_exception();
              }
              const std::lock_guard lock(m_mutex);
              m_done = true;
              m_ended.notify_all();
          })
    {
    }
    ~Worker() { m_thread.join(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // True once the work has ended.
    bool waitFor(std::chrono::milliseconds slice)
    {
        std::unique_lock lock(m_mutex);
        return m_ended.wait_for(lock, slice, [this] { return m_done; });
    }
    void rethrow() const
    {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};

constexpr std::chrono::milliseconds kPollSlice{100};

// With the GIL held: a pending Ctrl-C or a failing callback, as a Python error; false when
// the call may go on.
bool pythonWantsStop(CallFeedback& feedback, const ProgressCallback& onProgress)
{
    if (PyErr_CheckSignals() != 0)
        return true;
    if (!onProgress)
        return false;
    if (std::optional<CallFeedback::Report> report = feedback.takeReport()) {
        try {
            onProgress(*report);
        } catch (py::error_already_set& error) {
            error.restore();
            return true;
        }
    }
    return false;
}

} // namespace

void bindError(py::module_& module)
{
    errorType() = py::exception<std::runtime_error>(module, "Error", PyExc_Exception);
    errorType().attr("__doc__") =
        "A command of the core failed; the text is the program's message.";
}

void raiseError(const std::string& text)
{
    PyErr_SetString(errorType().ptr(), text.c_str());
    throw py::error_already_set();
}

std::string MessageLog::text(const std::string& fallback) const
{
    if (m_messages.empty())
        return fallback;
    std::string joined;
    for (const std::string& message : m_messages)
        joined += (joined.empty() ? "" : "\n") + message;
    return joined;
}

void MessageLog::showMessage(const std::string& text, const std::string&)
{
    m_messages.push_back(text);
}

// The process ends right after (the program's own rule for conditions ordinary use never
// reaches); the text goes where a Python user sees it.
void MessageLog::showFatal(const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", kFatalCaption, text.c_str());
}

bool MessageLog::askOkCancel(const std::string& text, const std::string&)
{
    m_messages.push_back(text);
    return m_answerOk;
}

std::optional<std::string> MessageLog::takePath()
{
    if (m_paths.empty())
        return std::nullopt;
    std::string path = std::move(m_paths.front());
    m_paths.pop_front();
    return path;
}

void CallFeedback::progress(const std::string& step, std::int64_t done, std::int64_t total)
{
    const std::lock_guard lock(m_mutex);
    m_report.step = step;
    m_report.done = done;
    m_report.total = total;
    m_changed = true;
}

void CallFeedback::addLine(const std::string& line)
{
    const std::lock_guard lock(m_mutex);
    m_report.lines.push_back(line);
    m_changed = true;
}

std::optional<CallFeedback::Report> CallFeedback::takeReport()
{
    const std::lock_guard lock(m_mutex);
    if (!m_changed)
        return std::nullopt;
    m_changed = false;
    Report report = m_report;
    m_report.lines.clear();
    return report;
}

CoreLock::CoreLock()
{
    const py::gil_scoped_release released;
    m_lock = std::unique_lock(g_coreMutex);
}

void runInCore(MessageLog& log, CallFeedback& feedback, const std::function<void()>& work,
               const ProgressCallback& onProgress, bool interruptible)
{
    bool stopped = false;
    {
        py::gil_scoped_release released;
        const std::lock_guard core(g_coreMutex);
        const InstalledUi installed(log);
        Worker worker(work);
        while (!worker.waitFor(kPollSlice)) {
            if (stopped || !interruptible)
                continue;
            py::gil_scoped_acquire held;
            stopped = pythonWantsStop(feedback, onProgress);
            if (stopped)
                feedback.cancel();
        }
        if (!stopped)
            worker.rethrow();
    }
    if (stopped)
        throw py::error_already_set();
    if (onProgress)
        if (std::optional<CallFeedback::Report> report = feedback.takeReport())
            onProgress(*report);
}
