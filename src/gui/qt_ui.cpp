// Message boxes, file dialogs and the wait cursor through Qt.
#include "gui/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>

#include "gui/qt_text.h"

namespace {

QWidget* owner() { return mainWindowOpen() ? QApplication::activeWindow() : nullptr; }

QString startPath(const FileRequest& request)
{
    if (request.defaultName.empty())
        return qs(request.folder);
    return qs(request.folder + "/" + request.defaultName);
}

std::optional<std::string> chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

// The extension of a filter's first pattern: "bmp" of "Write BMP File (*.bmp)".
QString extensionOf(const QString& filter)
{
    static const QRegularExpression pattern(R"(\*\.(\w+))");
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

void QtUi::registerDialog(const std::string& dialogName, DialogFactory factory)
{
    m_factories[dialogName] = std::move(factory);
}

void QtUi::showMessage(const std::string& text, const std::string& caption)
{
    QMessageBox::information(owner(), qs(caption), qs(text));
}

void QtUi::showFatal(const std::string& text)
{
    QMessageBox::critical(nullptr, kFatalCaption, qs(text));
}

bool QtUi::askOkCancel(const std::string& text, const std::string& caption)
{
    return QMessageBox::question(owner(), qs(caption), qs(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

std::optional<std::string> QtUi::openFile(const FileRequest& request)
{
    return chosen(QFileDialog::getOpenFileName(owner(), qs(request.title), startPath(request),
                                               qs(request.filter)));
}

std::optional<std::string> QtUi::saveFile(const FileRequest& request)
{
    const bool ask = request.askBeforeOverwrite && !request.refuseExisting;
    QFileDialog dialog(owner(), qs(request.title), startPath(request), qs(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !ask);
    // A name typed without an extension gets the chosen type's, before the dialog asks about
    // replacing a file of that name.
    dialog.setDefaultSuffix(extensionOf(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(extensionOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtUi::browseFolder(const std::string& title,
                                              const std::string& startFolder)
{
    return chosen(QFileDialog::getExistingDirectory(owner(), qs(title), qs(startFolder)));
}

void QtUi::setBusy(bool busy)
{
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

bool QtUi::ctrlDown()
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool QtUi::runModal(DialogModel& model)
{
    const auto factory = m_factories.find(model.dialogName());
    if (factory == m_factories.end())
        return false;
    std::unique_ptr<QDialog> dialog = factory->second(model, owner());
    return dialog->exec() == QDialog::Accepted;
}

void QtUi::showStatus(const std::string& text)
{
    if (m_statusSink)
        m_statusSink(qs(text));
}
