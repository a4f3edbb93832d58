#pragma once
// A user-interaction interface that answers from a queue and records every
// message, question and answer: for tests and the batch tool.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

class ScriptedUi final : public Ui {
public:
    enum class Kind { Message, Fatal, Question, OpenFile, SaveFile, Folder, Dialog };

    struct Event {
        Kind kind;
        std::string caption; // message caption, dialog name or request title
        std::string text;    // message or question text, or the file request's default name
        std::string answer;  // "OK", "Cancel", a path, or "" when none was given
        bool unexpected;     // asked with an empty queue (or a wrong kind of answer)
    };

    // Queue entries, taken in order by the next question, file, folder or dialog.
    void answerOk() { m_answers.push_back({Answer::Ok, {}, {}}); }
    void answerCancel() { m_answers.push_back({Answer::Cancel, {}, {}}); }
    void answerPath(std::string path) { m_answers.push_back({Answer::Path, std::move(path), {}}); }
    // The function edits the dialog's model as a user would; it returns OK or Cancel.
    void answerDialog(std::function<bool(DialogModel&)> fill)
    {
        m_answers.push_back({Answer::Dialog, {}, std::move(fill)});
    }
    void setCtrlDown(bool down) { m_ctrlDown = down; }
    // Messages also go to standard error (the batch tool).
    void setEcho(bool echo) { m_echo = echo; }

    const std::vector<Event>& events() const { return m_events; }
    std::vector<std::string> messages() const; // the texts of Message events, in order
    // The outcomes shown in the status line, in order; kept apart from the events, which ask
    // or tell something the user must answer or close.
    const std::vector<std::string>& statuses() const { return m_statuses; }
    bool anyUnexpected() const;
    std::size_t pendingAnswers() const { return m_answers.size(); }
    int busyDepth() const { return m_busy; }
    void clear();

    void showMessage(const std::string& text, const std::string& caption) override;
    void showFatal(const std::string& text) override;
    bool askOkCancel(const std::string& text, const std::string& caption) override;
    std::optional<std::string> openFile(const FileRequest& request) override;
    std::optional<std::string> saveFile(const FileRequest& request) override;
    std::optional<std::string> browseFolder(const std::string& title,
                                            const std::string& startFolder) override;
    void setBusy(bool busy) override { m_busy += busy ? 1 : -1; }
    bool ctrlDown() override { return m_ctrlDown; }
    bool runModal(DialogModel& model) override;
    void showStatus(const std::string& text) override;

private:
    struct Answer {
        enum Type { Ok, Cancel, Path, Dialog } type;
        std::string path;
        std::function<bool(DialogModel&)> fill;
    };
    std::optional<std::string> takePath(Kind kind, const FileRequest& request);

    std::deque<Answer> m_answers;
    std::vector<Event> m_events;
    std::vector<std::string> m_statuses;
    bool m_ctrlDown = false;
    bool m_echo = false;
    int m_busy = 0;
};

// Installs a ScriptedUi for its lifetime and restores the previous state after.
class ScopedScriptedUi {
public:
    ScopedScriptedUi() { setUi(&m_ui); }
    ~ScopedScriptedUi()
    {
        setUi(nullptr);
        setMainWindowOpen(false);
    }
    ScopedScriptedUi(const ScopedScriptedUi&) = delete;
    ScopedScriptedUi& operator=(const ScopedScriptedUi&) = delete;
    ScriptedUi* operator->() { return &m_ui; }
    ScriptedUi& operator*() { return m_ui; }

private:
    ScriptedUi m_ui;
};
