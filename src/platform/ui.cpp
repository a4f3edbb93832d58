// The process's user-interaction interface and the message functions.
#include "platform/ui.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// Without a window every message goes to standard error and every question
// is answered Cancel: nothing proceeds unasked.
class StderrUi final : public Ui {
public:
    void showMessage(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
    void showFatal(const std::string& text) override
    {
        std::fprintf(stderr, "%s: %s\n", kFatalCaption, text.c_str());
    }
    bool askOkCancel(const std::string& text, const std::string& caption) override
    {
        std::fprintf(stderr, "%s: %s [Cancel]\n", caption.c_str(), text.c_str());
        return false;
    }
    std::optional<std::string> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> browseFolder(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool ctrlDown() override { return false; }
    bool runModal(DialogModel&) override { return false; }
};

StderrUi g_stderrUi;
Ui* g_ui = &g_stderrUi;
bool g_mainWindowOpen = false;

std::string formatArgs(const char* format, va_list args)
{
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

} // namespace

Ui& ui() { return *g_ui; }

void setUi(Ui* ui) { g_ui = ui ? ui : &g_stderrUi; }

void setMainWindowOpen(bool open) { g_mainWindowOpen = open; }

bool mainWindowOpen() { return g_mainWindowOpen; }

std::string formatMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = formatArgs(format, args);
    va_end(args);
    return text;
}

void message(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatArgs(format, args);
    va_end(args);
    ui().showMessage(text, g_mainWindowOpen ? kOwnedCaption : kAppCaption);
}

void status(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatArgs(format, args);
    va_end(args);
    ui().showStatus(text);
}

void fatal(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatArgs(format, args);
    va_end(args);
    ui().showFatal(text);
    std::exit(kFatalExitStatus);
}

std::optional<std::string> chooseSaveFile(const FileRequest& request)
{
    for (;;) {
        std::optional<std::string> path = ui().saveFile(request);
        if (!path || !request.refuseExisting || !std::filesystem::exists(*path))
            return path;
        message("%s exists\n\nPlease assign new name", path->c_str());
    }
}
