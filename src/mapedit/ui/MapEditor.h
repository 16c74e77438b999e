#pragma once

#include "mapedit/MapHits.h"
#include "mapedit/MapInteraction.h"
#include "mapedit/MapModel.h"
#include "mapedit/ui/MapViewGeometry.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

class IgnlogFile;
class QAction;
class QKeyEvent;
class QMenu;
class MapViewPart;
class MapTableView;
class MapPointView;
class MapGraph2D;
class MapGraph3D;
class MapToolbar;
class MapReference;

// The map editor control: the model of MapModel shown in a widget, with the user's input held in
// its MapInteraction. Everything is painted into an off-screen picture; the paint event copies it
// to the screen and adds the caret.
class MapEditor : public QWidget, public MapModel {
    Q_OBJECT

public:
    // The MIME type that carries a whole table; on Windows Qt maps it to the registered
    // clipboard format of that name.
    static const char* const SheetMimeType;

    explicit MapEditor(QWidget* parent = nullptr, int width = 0, int height = 0);
    ~MapEditor() override;

    void RebuildLayout() override;
    void RequestRepaint(int flags) override;
    // The numbered commands of the toolbar, the popup and the keys.
    void RunCommand(int command);
    // Keys: characters as themselves, navigation keys as key code x 256.
    bool OnKey(int key, bool shift, bool ctrl);

    // Paints the present views into the off-screen picture now.
    void Render();
    const QImage& Picture() const { return picture_; }
    void SetPrintMode(bool on);
    // While printing no selection, caret, corner marks, step arrows or toolbar are drawn.
    bool PrintMode() const { return printMode_; }

    // The popup menu of the last right-button press (built anew on every press).
    QMenu* Popup() const { return popup_; }
    // Builds the popup for a position as a right-button press does, without showing it.
    QMenu* BuildPopup(QPoint position);

    // Asks for the value of a cell edit (smoothing needs none) and applies it to the selection;
    // true when a cell changed.
    bool AskCellEdit(CellEdit edit);

    // "Colour cells by value": one switch shared by the window's editors, kept by their owner.
    bool HeatColours() const { return heat_ && *heat_; }
    void SetHeatSwitch(int32_t* shared) { heat_ = shared; }
    int32_t* HeatSwitch() const { return heat_; }

    // "Show on maps": the recording whose operating points the views mark, nullptr for none.
    void ShowRecording(std::shared_ptr<const IgnlogFile> recording);
    const std::shared_ptr<const IgnlogFile>& ShownRecording() const { return recording_; }
    // Where the shown recording's engine ran on the active sheet, counted again after its axes
    // changed; nullptr without a recording or on a map that no operating point lies on.
    const MapHits* Hits();

    // The same map of a reference configuration, for the views to compare against; null for none.
    const MapReference* Reference() const { return reference_.get(); }
    void SetReference(std::shared_ptr<const MapReference> reference);

    MapInteraction& Interaction() { return interaction_; }
    const MapInteraction& Interaction() const { return interaction_; }
    // Where the views lie; recomputed by the layout pass, read by painting and hit-testing.
    MapViewGeometry& Geometry() { return geometry_; }
    const MapViewGeometry& Geometry() const { return geometry_; }
    int PixelsPerInch() const { return pixelsPerInch_; }
    int BaseFontSize() const { return baseFontSize_; }
    // Hint of the hovered element (interpolation, dragging).
    const QString& HintText() const { return hintText_; }
    void SetHintText(const QString& hint) { hintText_ = hint; }

    // Input goes to one editor at a time: while an editor handles an input message (a message box
    // it opens runs a nested event loop), messages for every editor are dropped. An InputMessage
    // marks one as being handled for as long as it lives.
    class InputMessage {
    public:
        InputMessage() { ++inputDepth_; }
        ~InputMessage() { --inputDepth_; }
        InputMessage(const InputMessage&) = delete;
        InputMessage& operator=(const InputMessage&) = delete;
    };

    MapTableView& Table() { return *table_; }
    MapPointView& Points() { return *points_; }
    MapGraph2D& Graph2D() { return *graph2d_; }
    MapGraph3D& Graph3D() { return *graph3d_; }
    MapToolbar& Toolbar() { return *toolbar_; }
    // The colour of the control behind the views: white while printing or copying the graph.
    QColor BackgroundColor() const;
    QColor TextColor() const;
    // The grey of labels beside the graphs, kept readable on a dark face.
    QColor LabelColor() const;
    bool HasFocusNow() const { return focused_; }
    // Whether the paint under way reaches into a rectangle: a redraw of the live marks repaints
    // only where they were and are, and the views leave out what lies wholly elsewhere.
    bool Repaints(const QRect& r) const { return redrawnPart_.isEmpty() || redrawnPart_.intersects(r); }

    // Colours as the unit's program writes them (0x00BBGGRR, 0xFF0000nn system colours).
    static QColor Color(uint32_t bgr);

    void ClipboardSet(const std::string& plain, const std::string* sheet) override;
    int ClipboardFormats() const override;
    std::string ClipboardText(bool sheetFormat) const override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void leaveEvent(QEvent* e) override;

    void OnScrolled() override;
    int MeasureLabelWidth(const char* text, int fontSize) const override;
    void OnInputTick() override { interaction_.Tick(); }
    void OnViewTick() override;
    void OnMessageShown() override { EndPress(); }

private:
    friend class MapTableView;
    friend class MapPointView;
    friend class MapGraph2D;
    friend class MapGraph3D;
    friend class MapToolbar;
    // Widget life, layout and painting (MapEditor.cpp).
    // The window is shown but this editor is not (its page is not the current one): its toolbar,
    // the keys and the live line wait until it is shown.
    bool OnHiddenPage() const;
    // The view of the present mode (the table also when the side graph is shown).
    MapViewPart* PresentView() const;
    // The view that takes the mouse at a point: the one that got the press until its release,
    // else the side graph over its area, else the present view.
    MapViewPart* ViewAt(QPoint position) const;
    QRect ViewArea() const;
    // Where the live marks of the shown views stand now.
    QRegion LiveMarks() const;
    // A request for the live marks alone can be met by redrawing their old and new places in the
    // picture: nothing else changed since the picture was painted.
    bool LiveMarksAlone() const;
    // Redraws the picture where the live marks stood and stand now; nothing when they stand still.
    void RenderLiveMarks();
    void RenderAll();
    // Top of the toolbar row: lower when the sheet tabs need the room beside it.
    int ToolbarTop() const;

    // Sheet tabs and the title (MapEditorTitle.cpp).
    // The sheet tabs of a map with several sheets, else the title of one that shows it.
    void PaintTitle(QPainter& painter);
    // Everything the editor shows, onto its picture or, in print mode, straight onto the page;
    // while a part is redrawn, only what reaches into it.
    void PaintContents(QPainter& painter);
    // On paper a switched-off map still names itself and says that it is off.
    void PaintSwitchedOff(QPainter& painter);
    void PaintSheetTabs(QPainter& painter);
    void PaintSheetTitle(QPainter& painter);
    // One sheet with a title of its own: by option, or because it can be switched off.
    bool TitleShown() const;
    QRect TitleCheckBox() const;
    // Where sheet tabs and title are drawn on screen.
    QRect TitleArea() const;
    // The sheet tab under a point, -1 for none.
    int SheetTabAt(QPoint position) const;

    // Input events (MapEditorInput.cpp).
    // Ends a press whose release will not come (a message box or another window took the mouse),
    // so hovering and the wheel work again without a click.
    void EndPress();
    // A key of Qt as the editor's key code (TabKey or the character); 0 for keys it does not use.
    static int KeyCode(const QKeyEvent& e);

    // The popup menu (MapEditorCommands.cpp).
    // An entry that runs a command.
    QAction* AddCommandEntry(
        QMenu& menu, const QString& text, int command, bool checkable = false, bool checked = false);
    // Copy, copy table, copy graph and paste, as far as they apply here.
    void AddClipboardEntries(QMenu& menu, QPoint position);
    // The allowed views, when there is a choice.
    void AddViewEntries(QMenu& menu);
    // Using only X, only Y or both, where an axis may be switched off.
    void AddUseOnlyEntries(QMenu& menu);
    // Set, add, scale and smooth on the selected cells (MapEditorCellEdit.cpp).
    void AddCellEditEntries(QMenu& menu);

    // The clipboard (MapEditorClipboard.cpp).
    // Puts a picture of the graph area, on white, on the clipboard.
    void CopyGraph();

    // Input messages being handled now, by any editor.
    static inline int inputDepth_ = 0;
    MapInteraction interaction_;
    MapViewGeometry geometry_;
    int pixelsPerInch_ = 96, baseFontSize_ = 8;
    QString hintText_;
    bool printMode_ = false, inPaint_ = false, whiteBackground_ = false;
    bool leftHeld_ = false, focused_ = false;
    QPoint mouse_;
    QImage picture_;
    // The live marks as the picture shows them, and the operating state they were drawn for (a
    // change of state recolours marks, toolbar and all).
    QRegion paintedMarks_;
    int paintedOpState_ = 0, paintedSheet_ = -1;
    // The part of the picture being redrawn; empty while everything is.
    QRegion redrawnPart_;
    std::unique_ptr<MapTableView> table_;
    std::unique_ptr<MapPointView> points_;
    std::unique_ptr<MapGraph2D> graph2d_;
    std::unique_ptr<MapGraph3D> graph3d_;
    std::unique_ptr<MapToolbar> toolbar_;
    // The view that took the left press (it gets the moves until the release) and the one hovered.
    MapViewPart* pressedView_ = nullptr;
    MapViewPart* hoverView_ = nullptr;
    QPointer<QMenu> popup_;
    int lastLanguage_ = -1;
    int32_t* heat_ = nullptr;
    std::shared_ptr<const IgnlogFile> recording_;
    std::optional<MapHits> hits_;
    std::shared_ptr<const MapReference> reference_;
    // What the clipboard holds, asked again only after it changed: on X11 every question about a
    // clipboard another program owns is a round trip to that program.
    mutable int clipboardFormats_ = -1;
};
