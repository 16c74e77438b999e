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

    // errorBox tells that the manual could not be opened.
    WindowHelp(QWidget& window, ErrorBox errorBox);

    // MenuHelp with MenuContens (F1) and MenuAbout, the last menu of the bar.
    void CreateMenu(QMenuBar* bar);
    // The manual in the current language.
    void OpenManual();
    // The About box, made the first time it is wanted: most runs never show it, and building it
    // would hold up the window's start.
    AboutDialog* AboutBox();

    // How the shell opens an address; tests replace it.
    std::function<bool(const QString&)> openUrl;

private:
    QWidget& window_;
    ErrorBox errorBox_;
    AboutDialog* aboutBox_ = nullptr;
};
