#include "app/WindowSettings.h"

#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "files/ParamFileState.h"
#include "lang/LangString.h"
#include "model/ImageValidation.h"

#include <QGuiApplication>
#include <QScreen>

#include <vector>

WindowSettings::WindowSettings(MainWindow& form, ParamImage& image, OutsideSettings& outside, ParamFileState& fileState)
    : form_(form)
    , image_(image)
    , outside_(outside)
    , fileState_(fileState)
    , store_(ChoosePaths())
{
}

SettingsPaths WindowSettings::ChoosePaths() { return SettingsPaths::Chosen(); }

void WindowSettings::Load()
{
    settings_.window = form_.geometry();
    settings_.language = LanguageIndex;
    settings_.activePage = form_.activePage();
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = outside_.nextScanPort;
    std::vector<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens())
        monitors.push_back(screen->availableGeometry());
    store_.LoadSettings(settings_, image_, monitors);
    form_.setGeometry(settings_.window);
    LanguageIndex = settings_.language;
    outside_.forcedPort = settings_.comPort;
    outside_.nextScanPort = settings_.comPortAuto;
    form_.linkUi().link().SetKnownUnit(
        { settings_.knownUnitPort, settings_.knownUnitRow, static_cast<uint32_t>(settings_.knownUnitBaud) });
    fileState_.currentFile = settings_.file;
    fileState_.fileFolder = settings_.iniFileDir;
    fileState_.newInstal = settings_.newInstal;
    fileState_.history = FileHistory(settings_.history);
    form_.fileMenu().PresetDialogs(settings_.iniFileDir);
    form_.fileMenu().RefreshHistoryMenu();
    form_.pagesUi().SelectSaved(settings_.activePage);
    form_.monitorUi().ShowPlayer(settings_.monitorPlayer);
    ValidateImage(image_, &outside_);
    // The image kept at the last shutdown is taken as the state of the file named with it.
    fileState_.savedImage = image_;
}

void WindowSettings::Collect()
{
    settings_.window = form_.geometry();
    settings_.language = LanguageIndex;
    settings_.activePage = form_.activePage();
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = form_.linkUi().link().nextScanPort;
    const KnownUnit& known = form_.linkUi().link().knownUnit;
    settings_.knownUnitPort = known.port;
    settings_.knownUnitRow = known.row;
    settings_.knownUnitBaud = static_cast<int>(known.baud);
    settings_.file = fileState_.currentFile;
    settings_.iniFileDir = fileState_.fileFolder;
    settings_.newInstal = fileState_.newInstal;
    settings_.history = fileState_.history.entries();
    settings_.monitorPlayer = form_.monitorUi().playerShown();
}

bool WindowSettings::Save(QString* error)
{
    Collect();
    return store_.SaveSettings(settings_, image_, error);
}
