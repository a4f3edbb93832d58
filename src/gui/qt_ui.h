#pragma once
// The user-interaction interface shown with Qt widgets.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui.h"

class QDialog;

class QtUi final : public Ui {
public:
    // Makes the Qt dialog that shows and edits a dialog model.
    using DialogFactory = std::function<std::unique_ptr<QDialog>(DialogModel&, QWidget* parent)>;

    void registerDialog(const std::string& dialogName, DialogFactory factory);
    // Where command outcomes go: the main window's status bar while it exists.
    void setStatusSink(std::function<void(const QString&)> sink) { m_statusSink = std::move(sink); }

    void showMessage(const std::string& text, const std::string& caption) override;
    void showFatal(const std::string& text) override;
    bool askOkCancel(const std::string& text, const std::string& caption) override;
    std::optional<std::string> openFile(const FileRequest& request) override;
    std::optional<std::string> saveFile(const FileRequest& request) override;
    std::optional<std::string> browseFolder(const std::string& title,
                                            const std::string& startFolder) override;
    void setBusy(bool busy) override;
    bool ctrlDown() override;
    bool runModal(DialogModel& model) override;
    void showStatus(const std::string& text) override;

private:
    std::map<std::string, DialogFactory> m_factories;
    std::function<void(const QString&)> m_statusSink;
};
