#pragma once

#include "app/CommandLine.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "model/ParamImage.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QTabWidget;
class QTimer;

// The main window. It owns all state of the running program: the parameter and monitor
// images, the timer loop and, as they are added, the link, the pages and the map editors.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    using ErrorBox = std::function<void(const std::string&)>;

    // args: the command-line arguments without the program name. errorBox shows the
    // messages of the text machinery and the layout check (default: a message box "Error").
    explicit TMainForm(const std::vector<std::string>& args = {}, ErrorBox errorBox = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // One 55 ms tick of the main timer; tests call it directly.
    void Timer1Timer();

    int tickCounter() const { return tickCounter_; }
    bool initialised() const { return initialised_; }
    bool noUpdateCheck() const { return noUpdateCheck_; }

    ParamImage& image() { return Image; }
    MonitorImage& monitor() { return Monitor; }

    // Rebuilds the window caption from the current file name and link state.
    void UpdateCaption();
    QString statusPanelText(int panel) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateForm();
    void FormCreate();
    void FormClose();
    void BuildStatusBar();
    void ApplyCommandLine();
    void CentreWindow();
    void ApplyDefaultVisibility();

    ParamImage Image;
    MonitorImage Monitor;
    OutsideSettings outside_;
    CommandLine commandLine_;
    ErrorBox errorBox_;

    int tickCounter_ = 0;
    bool initialised_ = false;
    bool closed_ = false;
    bool noUpdateCheck_ = false;
    bool testMode_ = false;
    int testPort_ = 0;
    bool searchEnabled_ = true;
    std::string fileName_;
    std::string compileDate_;

    QTabWidget* PageControl1 = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QLabel*, 5> statusPanels_{};
};
