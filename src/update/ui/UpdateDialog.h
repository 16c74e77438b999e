#pragma once

#include "update/UpdateOffer.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTextEdit;

// The update dialog: the offer's description and the buttons to download it (result 1), to
// open its web page (the dialog stays), to be reminded later (result 2) or not to be reminded of
// this update (result 3). Its texts are Czech with Czech as the language, English otherwise.
class UpdateDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int WIDTH = 667;
    static constexpr int HEIGHT = 475;
    enum Result { RESULT_DOWNLOAD = 1, RESULT_LATER = 2, RESULT_DONT_REMIND = 3 };

    using LinkOpener = std::function<void(const std::string&)>;

    // openLink: what "go to WWW" does with the web link (default: the system's "open" action).
    explicit UpdateDialog(QWidget* parent = nullptr, LinkOpener openLink = {});

    void setOffer(const UpdateOffer& offer);
    // Sets the captions in the current language.
    void applyTexts();

    QTextEdit* RichEditPatch = nullptr;
    // Where the buttons lead, shown before either is pressed.
    QLabel* LabelPatchLinks = nullptr;
    QPushButton* ButtonPatchDownload = nullptr;
    QPushButton* ButtonPatchWWW = nullptr;
    QPushButton* ButtonPatchCancel1 = nullptr;
    QPushButton* ButtonPatchCancel = nullptr;

private:
    void showDescription(const UpdateOffer& offer);

    LinkOpener openLink_;
    void showLinks();

    std::string webLink_;
    std::string downloadLink_;
};
