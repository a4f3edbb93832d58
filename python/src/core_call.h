#pragma once
// Calls into the core from Python: one at a time, with the program's messages collected and
// turned into exceptions, the GIL released, and Ctrl-C turned into a clean stop.

#include <pybind11/pybind11.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/feedback.h"
#include "platform/ui.h"

namespace py = pybind11;

// The exception type of the program's failures, orvantella.Error.
void bindError(py::module_& module);
[[noreturn]] void raiseError(const std::string& text);

// Stands in for the window while a call runs: records every message and answers each OK/Cancel
// question as the call decided beforehand; file dialogs take the paths given beforehand, in
// order, other dialogs are accepted as they open when the call said so, and folder dialogs are
// never answered.
class MessageLog final : public Ui {
public:
    explicit MessageLog(bool answerOk) : m_answerOk(answerOk) {}
    // The answers of the window's user to a command that asks for files and a data source.
    void answerFiles(const std::vector<std::string>& paths)
    {
        m_paths.assign(paths.begin(), paths.end());
    }
    void acceptDialogs() { m_acceptDialogs = true; }
    const std::vector<std::string>& messages() const { return m_messages; }
    // The messages one a line, or the fallback when there were none.
    std::string text(const std::string& fallback) const;

    void showMessage(const std::string& text, const std::string& caption) override;
    void showFatal(const std::string& text) override;
    bool askOkCancel(const std::string& text, const std::string& caption) override;
    std::optional<std::string> openFile(const FileRequest&) override { return takePath(); }
    std::optional<std::string> saveFile(const FileRequest&) override { return takePath(); }
    std::optional<std::string> browseFolder(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool ctrlDown() override { return false; }
    bool runModal(DialogModel&) override { return m_acceptDialogs; }

private:
    std::optional<std::string> takePath();

    bool m_answerOk;
    bool m_acceptDialogs = false;
    std::deque<std::string> m_paths;
    std::vector<std::string> m_messages;
};

// Progress and the stop request of a call that runs on a worker thread.
class CallFeedback final : public Feedback {
public:
    void progress(const std::string& step, std::int64_t done, std::int64_t total) override;
    bool cancelled() const override { return m_cancel.load(); }
    void cancel() { m_cancel = true; }

    struct Report {
        std::string step;
        std::int64_t done = 0;
        std::int64_t total = 0;
        std::vector<std::string> lines; // log lines since the last report
    };
    // Adds a log line for the next report (clustering's stream lines).
    void addLine(const std::string& line);
    // What changed since the last call, if anything.
    std::optional<Report> takeReport();

private:
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex;
    Report m_report;
    bool m_changed = false;
};

// Python's view of progress: called on the calling thread with (step, done, total, lines).
using ProgressCallback = std::function<void(const CallFeedback::Report&)>;

// Keeps other calls out of the core while Python reads the tables; taken without the GIL, as
// runInCore takes it, so that neither waits for the other holding what the other needs.
class CoreLock {
public:
    CoreLock();

private:
    std::unique_lock<std::mutex> m_lock;
};

// Runs work on a worker thread with the GIL released, the message log installed as the
// program's interface and no other call in the core meanwhile. Every tenth of a second the
// calling thread checks for Ctrl-C and reports progress; on KeyboardInterrupt, or when the
// progress callback raises, the feedback is cancelled, the worker is awaited and the exception
// goes on. interruptible = false lets the work finish first (saves are never cut short).
void runInCore(MessageLog& log, CallFeedback& feedback, const std::function<void()>& work,
               const ProgressCallback& onProgress = {}, bool interruptible = true);
