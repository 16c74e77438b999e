#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class AboutDialog;
class QMenuBar;
class QWidget;

// The Help menu of the main window: the user manual, opened in the shell's viewer, and the About box.
class WindowHelp : public QObject {
public:
    using ErrorBox = std::function<void(const std::string&)>;

    // The About box is made with the window, as its first dialog; errorBox tells that the manual
    // could not be opened.
    WindowHelp(QWidget& window, ErrorBox errorBox);

    // MenuHelp with MenuContens (F1) and MenuAbout, the last menu of the bar.
    void CreateMenu(QMenuBar* bar);
    // The manual in the current language.
    void OpenManual();
    AboutDialog* AboutBox() const { return aboutBox_; }

    // How the shell opens an address; tests replace it.
    std::function<bool(const QString&)> openUrl;

private:
    ErrorBox errorBox_;
    AboutDialog* aboutBox_;
};
