#include "mapedit/ui/MapEditor.h"

#include "base/Colours.h"

#include "lang/LangString.h"
#include "mapedit/MapReference.h"
#include "mapedit/ui/MapEditorAccessible.h"
#include "mapedit/ui/MapGraph2D.h"
#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/MapPointView.h"
#include "mapedit/ui/MapTableView.h"
#include "mapedit/ui/MapToolbar.h"

#include <QApplication>
#include <QClipboard>
#include <QPaintEvent>
#include <QPainter>

MapEditor::MapEditor(QWidget* parent, int width, int height)
    : QWidget(parent)
    , interaction_(*this)
    , table_(std::make_unique<MapTableView>(*this))
    , points_(std::make_unique<MapPointView>(*this))
    , graph2d_(std::make_unique<MapGraph2D>(*this))
    , graph3d_(std::make_unique<MapGraph3D>(*this))
    , toolbar_(std::make_unique<MapToolbar>(*this))
{
    // The plus and minus keys step as the toolbar's buttons do, with the layout pass after them.
    interaction_.SetCommandRunner([this](int command) { RunCommand(command); });
    resize(width > 0 ? width : 500, height > 0 ? height : 200);
    pixelsPerInch_ = logicalDpiX() > 0 ? logicalDpiX() : 96;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    MapEditorAccessible::Install();
    lastLanguage_ = LanguageIndex;
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { clipboardFormats_ = -1; });
}

MapEditor::~MapEditor() { delete popup_; }

void MapEditor::SetReference(std::shared_ptr<const MapReference> reference)
{
    reference_ = std::move(reference);
    RequestRepaint(REPAINT_LAYOUT);
}

QColor MapEditor::Color(uint32_t bgr) { return ToQColor(bgr); }

int MapEditor::MeasureLabelWidth(const char* text, int fontSize) const
{
    QFont font = this->font();
    font.setPixelSize(std::max(6, fontSize * 96 / 72));
    return QFontMetrics(font).horizontalAdvance(QString::fromUtf8(text));
}

QColor MapEditor::BackgroundColor() const
{
    return printMode_ || whiteBackground_ ? QColor(Qt::white) : Color(0xFF00000F);
}

// On paper and on white the text is black; on the button face it is the palette's text for it.
QColor MapEditor::TextColor() const
{
    return printMode_ || whiteBackground_ ? QColor(Qt::black) : Color(0xFF000012);
}

// The given grey reads on a light face; on a dark one it nearly vanishes, so there the labels take
// a colour most of the way from the face to its text, still quieter than the text itself.
QColor MapEditor::LabelColor() const
{
    const QColor face = BackgroundColor(), text = TextColor();
    if (face.lightness() >= 128)
        return Color(0x808080);
    const auto toward = [](int from, int to) { return from + (to - from) * 7 / 10; };
    return QColor(toward(face.red(), text.red()), toward(face.green(), text.green()), toward(face.blue(), text.blue()));
}

MapViewPart* MapEditor::PresentView() const
{
    if (viewMode_ == VIEW_POINTS)
        return points_.get();
    if (viewMode_ == VIEW_TABLE)
        return table_.get();
    if (viewMode_ == VIEW_2D)
        return graph2d_.get();
    if (viewMode_ == VIEW_3D)
        return graph3d_.get();
    return nullptr;
}

MapViewPart* MapEditor::ViewAt(QPoint position) const
{
    if (pressedView_)
        return pressedView_;
    if ((viewBits_ & VIEW_2D) && geometry_.graphArea.contains(position))
        return graph2d_.get();
    return PresentView();
}

int MapEditor::ToolbarTop() const
{
    if (SheetCount() > 1 && (Options() & OPT_TOOLBAR)) {
        int tabs = 2;
        for (int i = 0; i < SheetCount(); ++i)
            tabs += SheetAt(i).labelWidth;
        if (tabs > width() - 27 - toolbar_->Width())
            return 25;
    }
    return 5;
}

QRect MapEditor::ViewArea() const
{
    const int b = ToolbarTop();
    const int top = (Options() & OPT_TOOLBAR) ? b + 31
        : (Options() & OPT_TITLE)             ? b + 20
        : SheetCount() > 1                    ? b + 20
                                              : 10;
    return QRect(10, top, std::max(1, width() - 37), std::max(1, height() - top - 27));
}

void MapEditor::RebuildLayout()
{
    MapModel::RebuildLayout();
    if (SheetCount() == 0)
        return;
    const QRect area = ViewArea();
    table_->Layout(area);
    points_->Layout(area);
    const bool graphView = viewMode_ == VIEW_2D || viewMode_ == VIEW_3D;
    geometry_.graphArea = graphView ? area : viewMode_ == VIEW_TABLE ? geometry_.sideGraph : QRect();
    viewBits_ = viewMode_ | (geometry_.graphArea.isNull() || viewMode_ == VIEW_3D ? 0 : VIEW_2D);
    graph2d_->Layout(viewBits_ & VIEW_2D ? geometry_.graphArea : QRect());
    graph3d_->Layout(viewMode_ == VIEW_3D ? area : QRect());
    toolbar_->Build(ToolbarTop());
}

void MapEditor::RequestRepaint(int flags)
{
    repaintFlags_ |= flags;
    update();
    MapEditorAccessible::NoteChange(this);
}

void MapEditor::OnScrolled()
{
    interaction_.HideArrows();
    RequestRepaint(REPAINT);
}

void MapEditor::SetPrintMode(bool on)
{
    printMode_ = on;
    Render();
}

void MapEditor::Render()
{
    if (inPaint_)
        return;
    inPaint_ = true;
    if (repaintFlags_ == REPAINT_LIVE && LiveMarksAlone())
        RenderLiveMarks();
    else
        RenderAll();
    repaintFlags_ = 0;
    inPaint_ = false;
}

void MapEditor::RenderAll()
{
    if (picture_.size() != size())
        picture_ = QImage(size(), QImage::Format_RGB32);
    if ((repaintFlags_ & REPAINT_LAYOUT) && SheetCount())
        RebuildLayout();
    {
        QPainter p(&picture_);
        PaintContents(p);
    }
    paintedMarks_ = LiveMarks();
    paintedOpState_ = SheetCount() ? Sheet().opState : MapSheet::OP_NONE;
    paintedSheet_ = SheetCount() ? ActiveSheet() : -1;
    update();
}

bool MapEditor::LiveMarksAlone() const
{
    // An open edit places its caret while the edited cell is painted, so it needs every cell.
    return !printMode_ && !whiteBackground_ && picture_.size() == size() && SheetCount() && !(viewBits_ & VIEW_3D)
        && !Editing() && ActiveSheet() == paintedSheet_ && Sheet().opState == paintedOpState_;
}

void MapEditor::RenderLiveMarks()
{
    const QRegion marks = LiveMarks();
    if (marks == paintedMarks_)
        return;
    // Everything is painted again, clipped to where the marks were and are: what lies over and
    // under them comes out exactly as a full repaint draws it.
    const QRegion changed = marks.united(paintedMarks_);
    {
        QPainter p(&picture_);
        p.setClipRegion(changed);
        redrawnPart_ = changed;
        PaintContents(p);
        redrawnPart_ = QRegion();
    }
    paintedMarks_ = marks;
    update(changed);
}

QRegion MapEditor::LiveMarks() const
{
    QRegion marks;
    if (!SheetCount())
        return marks;
    if (viewBits_ & VIEW_TABLE) {
        // The rings on the column header, the row header and the cell: inset in their element, the
        // shadow two pixels right of and below the ring, a pixel more for the pen's rounding.
        const MapSheet& s = Sheet();
        constexpr int RING_BEFORE = 1, RING_AFTER = 3;
        for (const QRect& r : { table_->ElementRect(s.opColumn, HEADER),
                 table_->ElementRect(HEADER, s.opRow), table_->ElementRect(s.opColumn, s.opRow) })
            if (!r.isNull())
                marks += r.adjusted(-RING_BEFORE, -RING_BEFORE, RING_AFTER, RING_AFTER);
    }
    if (viewBits_ & VIEW_2D)
        marks += graph2d_->LiveMarks();
    return marks;
}

void MapEditor::PaintContents(QPainter& p)
{
    p.fillRect(rect(), BackgroundColor());
    p.setRenderHint(QPainter::Antialiasing, false);
    if (SheetCount() && Sheet().enabled && !Sheet().hidden) {
        if (viewBits_ & VIEW_TABLE)
            table_->Paint(p);
        if (viewBits_ & VIEW_POINTS)
            points_->Paint(p);
        if ((viewBits_ & VIEW_2D) && Repaints(geometry_.graphArea))
            graph2d_->Paint(p);
        if (viewBits_ & VIEW_3D)
            graph3d_->Paint(p);
    }
    if (SheetCount() && Repaints(TitleArea()))
        PaintTitle(p);
    if (SheetCount() && Repaints(toolbar_->Bounds()))
        toolbar_->Paint(p);
    if (printMode_ && SheetCount() && !Sheet().enabled)
        PaintSwitchedOff(p);
}

void MapEditor::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    // On paper the editor is drawn straight onto the page, so its texts stay texts.
    if (printMode_) {
        if ((repaintFlags_ & 2) && SheetCount())
            RebuildLayout();
        PaintContents(p);
        return;
    }
    if (repaintFlags_ || picture_.size() != size())
        Render();
    // Only what the window system asked for: after a move of the live marks, their places.
    for (const QRect& r : e->region())
        p.drawImage(r, picture_, r);
    if (focused_ && Editing() && interaction_.CaretVisible() && viewMode_ == VIEW_TABLE) {
        const QRect caretLine = table_->CaretRect();
        if (!caretLine.isNull())
            p.fillRect(caretLine, Qt::black);
    }
}

void MapEditor::resizeEvent(QResizeEvent*) { RequestRepaint(REPAINT_LAYOUT); }

bool MapEditor::OnHiddenPage() const { return !isVisible() && window() != this && window()->isVisible(); }

void MapEditor::showEvent(QShowEvent*)
{
    // What was left out while the page was hidden: the toolbar's state and the picture.
    toolbar_->Refresh(true, true);
    RequestRepaint(REPAINT);
}

void MapEditor::OnViewTick()
{
    if (lastLanguage_ != LanguageIndex) {
        lastLanguage_ = LanguageIndex;
        RequestRepaint(REPAINT_LAYOUT);
    }
    // An editor nobody sees only keeps its repaint request until it is shown.
    if (OnHiddenPage())
        return;
    // The modifiers as the key and mouse events delivered so far left them: asking the window
    // system instead would cost a round trip to the X server on every tick.
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    interaction_.SetModifiers(modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
    if (MapViewPart* view = PresentView(); view && SheetCount())
        view->Tick();
    if (toolbar_->Refresh(TickCount() & 2, TickCount() & 8))
        RequestRepaint(REPAINT);
    // The engine speed moves the graph's live line without moving the operating cell.
    const bool graphShown = SheetCount() && (viewBits_ & VIEW_2D) && Sheet().enabled && !Sheet().hidden;
    if (graphShown && graph2d_->LiveSpeedMoved())
        RequestRepaint(REPAINT_LIVE);
    // A map on a page not shown keeps its request until it is shown (its paint event renders).
    if (repaintFlags_ && isVisible())
        Render();
    else if (Editing() && interaction_.CaretBlinked())
        update();
}
