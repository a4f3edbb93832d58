#pragma once
// The small layer through which the core asks and tells the user: messages,
// questions, file and folder choice, the wait cursor and modal dialogs.

#include <optional>
#include <string>

// Base of every dialog's core model; the Qt layer maps dialogName() to a widget.
class DialogModel {
public:
    virtual ~DialogModel() = default;
    virtual const char* dialogName() const = 0;
};

struct FileRequest {
    std::string title;
    std::string folder;      // where the dialog opens
    std::string defaultName; // proposed file name
    std::string filter;      // e.g. "Orbit files (*.csv *.txt)"
    // Save dialogs that must not overwrite: repeat "%s exists\n\nPlease
    // assign new name" until a new name or Cancel.
    bool refuseExisting = false;
    // Whether the dialog itself asks before a file is replaced; off where the
    // caller appends to a chosen file or refuses existing ones itself.
    bool askBeforeOverwrite = true;
};

class Ui {
public:
    virtual ~Ui() = default;
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // Shows the fatal box; the caller ends the process afterwards.
    virtual void showFatal(const std::string& text) = 0;
    // OK/Cancel question; true only for OK.
    virtual bool askOkCancel(const std::string& text, const std::string& caption) = 0;
    virtual std::optional<std::string> openFile(const FileRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileRequest& request) = 0;
    virtual std::optional<std::string> browseFolder(const std::string& title,
                                                    const std::string& startFolder) = 0;
    // Wait cursor on and off; nested calls count (see WaitCursor).
    virtual void setBusy(bool busy) = 0;
    virtual bool ctrlDown() = 0;
    // Runs the dialog of this model modally; true for OK.
    virtual bool runModal(DialogModel& model) = 0;
    // The outcome of a command that succeeded, in one line that asks for no answer (the
    // window's status bar); nowhere by default.
    virtual void showStatus(const std::string& text) { (void)text; }
};

// The process's interface; a plain standard-error one until set.
Ui& ui();
// Installs ui (not owned); nullptr restores the standard-error one.
void setUi(Ui* ui);

// Messages are captioned "Orvantell" once the main window exists,
// "Orvantella" before.
void setMainWindowOpen(bool open);
bool mainWindowOpen();

// The printf-style text of a message: cut to 1023 characters.
std::string formatMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

void message(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A command's outcome: "saved 7 tables", "map saved to PATH".
void status(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A save dialog; with refuseExisting, a chosen file that exists gets
// "%s exists\n\nPlease assign new name" and the dialog again.
std::optional<std::string> chooseSaveFile(const FileRequest& request);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor() { ui().setBusy(true); }
    ~WaitCursor() { ui().setBusy(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

inline constexpr const char* kAppCaption = "Orvantella";
inline constexpr const char* kOwnedCaption = "Orvantell";
inline constexpr const char* kFatalCaption = "Orvantella Fatal Error";
inline constexpr int kFatalExitStatus = -9;
