// Scripted answers and the record of what was asked.
#include "platform/scripted_ui.h"

#include <cstdio>

std::vector<std::string> ScriptedUi::messages() const
{
    std::vector<std::string> texts;
    for (const Event& event : m_events)
        if (event.kind == Kind::Message)
            texts.push_back(event.text);
    return texts;
}

void ScriptedUi::showStatus(const std::string& text)
{
    m_statuses.push_back(text);
    if (m_echo)
        std::fprintf(stderr, "%s\n", text.c_str());
}

bool ScriptedUi::anyUnexpected() const
{
    for (const Event& event : m_events)
        if (event.unexpected)
            return true;
    return false;
}

void ScriptedUi::clear()
{
    m_answers.clear();
    m_events.clear();
    m_statuses.clear();
}

void ScriptedUi::showMessage(const std::string& text, const std::string& caption)
{
    m_events.push_back({Kind::Message, caption, text, "OK", false});
    if (m_echo)
        std::fprintf(stderr, "%s\n", text.c_str());
}

void ScriptedUi::showFatal(const std::string& text)
{
    m_events.push_back({Kind::Fatal, kFatalCaption, text, "OK", false});
    std::fprintf(stderr, "%s: %s\n", kFatalCaption, text.c_str());
}

bool ScriptedUi::askOkCancel(const std::string& text, const std::string& caption)
{
    bool ok = false;
    bool unexpected = true;
    if (!m_answers.empty() &&
        (m_answers.front().type == Answer::Ok || m_answers.front().type == Answer::Cancel)) {
        ok = m_answers.front().type == Answer::Ok;
        unexpected = false;
        m_answers.pop_front();
    }
    m_events.push_back({Kind::Question, caption, text, ok ? "OK" : "Cancel", unexpected});
    if (m_echo)
        std::fprintf(stderr, "%s [%s]\n", text.c_str(), ok ? "OK" : "Cancel");
    return ok;
}

std::optional<std::string> ScriptedUi::takePath(Kind kind, const FileRequest& request)
{
    std::optional<std::string> path;
    bool unexpected = true;
    if (!m_answers.empty() &&
        (m_answers.front().type == Answer::Path || m_answers.front().type == Answer::Cancel)) {
        if (m_answers.front().type == Answer::Path)
            path = m_answers.front().path;
        unexpected = false;
        m_answers.pop_front();
    }
    m_events.push_back({kind, request.title, request.defaultName, path.value_or(""), unexpected});
    return path;
}

std::optional<std::string> ScriptedUi::openFile(const FileRequest& request)
{
    return takePath(Kind::OpenFile, request);
}

std::optional<std::string> ScriptedUi::saveFile(const FileRequest& request)
{
    return takePath(Kind::SaveFile, request);
}

std::optional<std::string> ScriptedUi::browseFolder(const std::string& title,
                                                    const std::string& startFolder)
{
    return takePath(Kind::Folder, {title, startFolder, {}, {}, false});
}

bool ScriptedUi::runModal(DialogModel& model)
{
    bool ok = false;
    bool unexpected = true;
    if (!m_answers.empty()) {
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        unexpected = false;
        if (answer.type == Answer::Dialog)
            ok = answer.fill(model);
        else if (answer.type == Answer::Ok)
            ok = true;
        else if (answer.type != Answer::Cancel)
            unexpected = true;
    }
    m_events.push_back({Kind::Dialog, model.dialogName(), {}, ok ? "OK" : "Cancel", unexpected});
    return ok;
}
