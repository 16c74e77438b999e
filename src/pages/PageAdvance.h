#pragma once

#include "pages/SettingsPage.h"
#include "pages/UpDownField.h"

#include <array>

class MapEditorList;
class MapEditor;

// The Advance Map page: the advance map editor, the base advance and the advance correction of
// each ignition channel.
class PageAdvance : public SettingsPage {
    Q_OBJECT

public:
    PageAdvance(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override;

    MapEditor* mapEditor() const { return map_; }
    int usedColumns() const { return usedColumns_; }

private:
    MapEditor* map_ = nullptr;
    UpDownSpinBox* upDownBaseAdv_ = nullptr;
    QLabel* labelKorAdv_ = nullptr;
    std::array<UpDownField, CHANNELS> corrections_ {};
    std::array<QLabel*, CHANNELS> correctionLabels_ {};
    // The number of speed columns in use is program state, not part of the image.
    int usedColumns_ = MAP_DIM;
    int shownBaseAdvance_ = -1;
};
