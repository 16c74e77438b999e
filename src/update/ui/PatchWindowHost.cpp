#include "update/ui/PatchWindowHost.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

PatchWindowHost::PatchWindowHost(QWidget* window, std::function<void(const std::string&)> setStatusText,
    std::function<void()> saveSettings, UpdateDialog::LinkOpener openLink)
    : window_(window)
    , setStatusText_(std::move(setStatusText))
    , saveSettings_(std::move(saveSettings))
    , openLink_(std::move(openLink))
{
    if (!openLink_)
        openLink_ = [](const std::string& link) { QDesktopServices::openUrl(QUrl(QString::fromStdString(link))); };
}

void PatchWindowHost::SetStatusText(const std::string& text)
{
    if (setStatusText_)
        setStatusText_(text);
}

int PatchWindowHost::ShowPatchDialog(const UpdateOffer& offer)
{
    UpdateDialog dialog(window_, openLink_);
    dialog.setOffer(offer);
    if (window_) {
        const QPoint centre = window_->frameGeometry().center();
        dialog.move(centre.x() - dialog.width() / 2, centre.y() - dialog.height() / 2);
    }
    if (onDialogShown)
        onDialogShown(dialog);
    const int result = dialog.exec();
    // Closing the dialog by its frame or Escape counts as "remind later".
    return result == UpdateDialog::RESULT_DOWNLOAD || result == UpdateDialog::RESULT_DONT_REMIND ? result
                                                                                             : UpdateDialog::RESULT_LATER;
}

void PatchWindowHost::OpenLink(const std::string& link) { openLink_(link); }

void PatchWindowHost::ShowMessage(const std::string& caption, const std::string& text)
{
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(caption.c_str()), QString::fromUtf8(text.c_str()),
        QMessageBox::Ok, window_);
    box.setObjectName("MessagePatchDownload");
    box.exec();
}

void PatchWindowHost::SaveSettings()
{
    if (saveSettings_)
        saveSettings_();
}

void PatchWindowHost::CloseMainWindow()
{
    if (window_)
        window_->close();
}
