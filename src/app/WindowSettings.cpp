#include "app/WindowSettings.h"

#include "app/FileMenu.h"
#include "app/LocaleLanguage.h"
#include "app/ScreenFitter.h"
#include "app/SettingsStore.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "files/ParamFileState.h"
#include "lang/LangString.h"
#include "link/UnitSearch.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/ImageValidation.h"

#include <QWidget>

WindowSettings::WindowSettings(const SettingsStore& store, Parts parts, ParamImage& image, OutsideSettings& outside,
    ParamFileState& fileState)
    : store_(store)
    , parts_(parts)
    , image_(image)
    , outside_(outside)
    , fileState_(fileState)
{
}

void WindowSettings::Load()
{
    settings_.window = parts_.window.geometry();
    // Without a saved language the first start speaks the desktop's.
    settings_.language = LocaleLanguage::System();
    settings_.activePage = parts_.pages.Active();
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = outside_.nextScanPort;
    // A saved place is brought inside the screens as they are now, the frame's title bar included.
    store_.LoadSettings(settings_, image_, ScreenFitter::ClientAreas());
    parts_.window.setGeometry(settings_.window);
    LanguageIndex = settings_.language;
    outside_.forcedPort = settings_.comPort;
    outside_.nextScanPort = settings_.comPortAuto;
    parts_.search.SetKnownUnit(
        { settings_.knownUnitPort, settings_.knownUnitRow, static_cast<uint32_t>(settings_.knownUnitBaud) });
    fileState_.currentFile = settings_.file;
    fileState_.fileFolder = settings_.iniFileDir;
    fileState_.newInstal = settings_.newInstal;
    fileState_.history = FileHistory(settings_.history);
    parts_.fileMenu.PresetDialogs(settings_.iniFileDir);
    parts_.fileMenu.RefreshHistoryMenu();
    parts_.pages.SelectSaved(settings_.activePage);
    parts_.monitor.ShowPlayer(settings_.monitorPlayer);
    parts_.maps.heatColours = settings_.mapHeatColours ? 1 : 0;
    ValidateImage(image_, &outside_);
    // The image kept at the last shutdown is taken as the state of the file named with it.
    fileState_.savedImage = image_;
}

void WindowSettings::Collect()
{
    settings_.window = parts_.window.geometry();
    settings_.language = LanguageIndex;
    settings_.activePage = parts_.pages.Active();
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = parts_.search.nextScanPort;
    const KnownUnit& known = parts_.search.knownUnit;
    settings_.knownUnitPort = known.port;
    settings_.knownUnitRow = known.row;
    settings_.knownUnitBaud = static_cast<int>(known.baud);
    settings_.file = fileState_.currentFile;
    settings_.iniFileDir = fileState_.fileFolder;
    settings_.newInstal = fileState_.newInstal;
    settings_.history = fileState_.history.entries();
    settings_.monitorPlayer = parts_.monitor.PlayerShown();
    settings_.mapHeatColours = parts_.maps.heatColours != 0;
}

bool WindowSettings::Save(QString* error)
{
    Collect();
    // While a recording replays, the settings keep the user's configuration, not the recording's.
    const ParamImage* userImage = parts_.monitor.UserImageAside();
    return store_.SaveSettings(settings_, userImage ? *userImage : image_, error);
}
