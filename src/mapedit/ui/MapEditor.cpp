#include "mapedit/ui/MapEditor.h"

#include "lang/LangString.h"
#include "mapedit/SheetClipboard.h"
#include "mapedit/ui/MapGraph2D.h"
#include "mapedit/ui/MapGraph3D.h"
#include "mapedit/ui/MapPointView.h"
#include "mapedit/ui/MapTableView.h"
#include "mapedit/ui/MapToolbar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cstring>
#include <utility>

const char* const MapEditor::SheetMimeType = "application/x-qt-windows-mime;value=\"CF_MOTRAVEX_SHEET\"";
int MapEditor::InMessage = 0;

namespace {

QString Text(const char* lang) { return QString::fromUtf8(LangText(lang)); }

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

} // namespace

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
    lastLanguage_ = LanguageIndex;
}

MapEditor::~MapEditor() { delete popup_; }

QColor MapEditor::Color(uint32_t bgr)
{
    if ((bgr & 0xFF000000u) == 0xFF000000u)
        return (bgr & 0xFF) == 0x0F ? QApplication::palette().button().color()
                                    : QApplication::palette().window().color();
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

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
    if (picture_.size() != size())
        picture_ = QImage(size(), QImage::Format_RGB32);
    if ((repaintFlags_ & 2) && SheetCount())
        RebuildLayout();
    picture_.fill(BackgroundColor());
    {
        QPainter p(&picture_);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (SheetCount() && Sheet().enabled && !Sheet().hidden) {
            if (viewBits_ & VIEW_TABLE)
                table_->Paint(p);
            if (viewBits_ & VIEW_POINTS)
                points_->Paint(p);
            if (viewBits_ & VIEW_2D)
                graph2d_->Paint(p);
            if (viewBits_ & VIEW_3D)
                graph3d_->Paint(p);
        }
        if (SheetCount()) {
            PaintTitle(p);
            toolbar_->Paint(p);
        }
    }
    repaintFlags_ = 0;
    inPaint_ = false;
    update();
}

int MapEditor::SheetTabAt(QPoint position) const
{
    if (SheetCount() < 2)
        return -1;
    int x = 2;
    for (int i = 0; i < SheetCount(); ++i) {
        const MapSheet& s = SheetAt(i);
        if (s.hidden)
            continue;
        if (QRect(x, 2, s.labelWidth, 18).contains(position))
            return i;
        x += s.labelWidth;
    }
    return -1;
}

void MapEditor::PaintTitle(QPainter& p)
{
    QFont font = this->font();
    if (SheetCount() > 1) {
        font.setPixelSize(9 * 96 / 72);
        p.setFont(font);
        int x = 2;
        for (int i = 0; i < SheetCount(); ++i) {
            const MapSheet& s = SheetAt(i);
            if (s.hidden)
                continue;
            const bool active = i == ActiveSheet();
            const QRect r = active ? QRect(x - 2, 0, s.labelWidth + 4, 20) : QRect(x, 2, s.labelWidth, 18);
            p.fillRect(r, Color(active ? 0xFFFFFF : 0xFF00000F));
            p.setPen(Color(0x808080));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            const bool grey = !s.enabled || !(s.axisX.editable || s.axisY.editable || s.axisData.editable);
            QFont f = font;
            f.setItalic(grey);
            p.setFont(f);
            p.setPen(grey ? Color(0x808080) : QColor(Qt::black));
            p.drawText(r, Qt::AlignCenter, Text(s.label));
            x += s.labelWidth;
        }
        return;
    }
    if (!TitleShown())
        return;
    const MapSheet& s = Sheet();
    font.setPixelSize(std::max(6, s.fontSize * 96 / 72));
    p.setFont(font);
    int x = TitleCheckBox().left() - 2;
    if (s.flags & SF_CAN_DISABLE) {
        const QRect box = TitleCheckBox();
        p.fillRect(box, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        if (s.enabled) {
            p.drawLine(box.left() + 2, box.center().y(), box.center().x(), box.bottom() - 2);
            p.drawLine(box.center().x(), box.bottom() - 2, box.right() - 2, box.top() + 2);
        }
        x += 18;
    }
    // A switched-off sheet is drawn empty; its grey title with the cleared box says why.
    font.setItalic(!s.enabled);
    p.setFont(font);
    p.setPen(s.enabled ? QColor(Qt::black) : Color(0x808080));
    p.drawText(QRect(x, 2, width() - x, 20), Qt::AlignLeft | Qt::AlignVCenter, Text(s.label));
}

QRect MapEditor::TitleCheckBox() const { return QRect((geometry_.Grid().right() < 200 ? 0 : 10) + 2, 6, 12, 12); }

bool MapEditor::TitleShown() const
{
    return SheetCount() == 1 && ((Options() & OPT_TITLE) || (Sheet().flags & SF_CAN_DISABLE));
}

void MapEditor::paintEvent(QPaintEvent*)
{
    if (repaintFlags_ || picture_.size() != size())
        Render();
    QPainter p(this);
    p.drawImage(0, 0, picture_);
    if (focused_ && Editing() && interaction_.CaretVisible() && !printMode_ && viewMode_ == VIEW_TABLE) {
        const QRect caretLine = table_->CaretRect();
        if (!caretLine.isNull())
            p.fillRect(caretLine, Qt::black);
    }
}

void MapEditor::resizeEvent(QResizeEvent*) { RequestRepaint(REPAINT_LAYOUT); }

bool MapEditor::event(QEvent* e)
{
    if (!IsInput(e->type()))
        return QWidget::event(e);
    if (InMessage)
        return true;
    ++InMessage;
    bool result;
    if (e->type() == QEvent::KeyPress
        && (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab || static_cast<QKeyEvent*>(e)->key() == Qt::Key_Backtab)) {
        keyPressEvent(static_cast<QKeyEvent*>(e));
        result = e->isAccepted() ? true : QWidget::event(e);
    } else {
        result = QWidget::event(e);
    }
    --InMessage;
    return result;
}

int MapEditor::KeyCode(const QKeyEvent& e)
{
    static const std::pair<int, int> keys[] = {
        { Qt::Key_Tab, KEY_TAB },
        { Qt::Key_Backtab, KEY_TAB },
        { Qt::Key_Return, KEY_ENTER },
        { Qt::Key_Enter, KEY_ENTER },
        { Qt::Key_Space, KEY_SPACE },
        { Qt::Key_PageUp, KEY_PAGE_UP },
        { Qt::Key_PageDown, KEY_PAGE_DOWN },
        { Qt::Key_End, KEY_END },
        { Qt::Key_Home, KEY_HOME },
        { Qt::Key_Left, KEY_LEFT },
        { Qt::Key_Up, KEY_UP },
        { Qt::Key_Right, KEY_RIGHT },
        { Qt::Key_Down, KEY_DOWN },
        { Qt::Key_Insert, KEY_INSERT },
        { Qt::Key_Delete, KEY_DELETE },
        { Qt::Key_Backspace, KEY_BACKSPACE },
        { Qt::Key_Escape, KEY_ESC },
    };
    for (const auto& [qtKey, key] : keys)
        if (e.key() == qtKey)
            return key;
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    if (ctrl && e.key() == Qt::Key_C)
        return KEY_CTRL_C;
    if (ctrl && e.key() == Qt::Key_V)
        return KEY_CTRL_V;
    if (!e.text().isEmpty() && e.text()[0].unicode() < 128 && e.text()[0].unicode() >= 32)
        return e.text()[0].unicode();
    return 0;
}

void MapEditor::keyPressEvent(QKeyEvent* e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier, ctrl = e->modifiers() & Qt::ControlModifier;
    const int key = KeyCode(*e);
    if (key && OnKey(key, shift || e->key() == Qt::Key_Backtab, ctrl)) {
        e->accept();
        RequestRepaint(REPAINT);
    } else {
        e->ignore();
    }
}

void MapEditor::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint position = e->position().toPoint();
    const bool changed = position != mouse_;
    mouse_ = position;
    if (!changed)
        return;
    MapViewPart* view = ViewAt(position);
    if (view != hoverView_) {
        // The view the pointer left forgets its hover marks and step arrows.
        if (hoverView_ && !leftHeld_ && SheetCount() && Sheet().enabled)
            hoverView_->MouseMove(QPoint(-10000, -10000), false);
        hoverView_ = view;
    }
    if (view && SheetCount() && Sheet().enabled) {
        setCursor(view->MouseMove(position, leftHeld_));
        hintText_ = view->Hint();
    }
    if (const QString buttonHint = toolbar_->HintAt(position); !buttonHint.isEmpty() && !leftHeld_)
        hintText_ = buttonHint;
    if (!hintText_.isEmpty() || !toolTip().isEmpty())
        setToolTip(hintText_);
}

void MapEditor::mousePressEvent(QMouseEvent* e)
{
    const QPoint position = e->position().toPoint();
    mouse_ = position;
    setFocus(Qt::MouseFocusReason);
    if (SheetCount() == 0)
        return;
    const int sheetTab = SheetTabAt(position);
    if (e->button() == Qt::RightButton) {
        if (sheetTab >= 0) {
            SelectSheet(sheetTab);
            return;
        }
        if (MapViewPart* view = ViewAt(position); view && Sheet().enabled)
            view->RightClickSelect(position);
        BuildPopup(position);
        popup_->popup(mapToGlobal(position));
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    leftHeld_ = true;
    if (toolbar_->MousePress(position))
        return;
    if (sheetTab >= 0) {
        SelectSheet(sheetTab);
        return;
    }
    if (TitleShown() && (Sheet().flags & SF_CAN_DISABLE) && TitleCheckBox().adjusted(-4, -4, 4, 4).contains(position)) {
        RunCommand(CMD_ENABLE_SHEET);
        return;
    }
    pressedView_ = nullptr;
    if (MapViewPart* view = ViewAt(position); view && Sheet().enabled) {
        pressedView_ = view;
        view->MousePress(position, e->modifiers());
    }
    RequestRepaint(REPAINT);
}

void MapEditor::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    leftHeld_ = false;
    if (toolbar_->MouseRelease(e->position().toPoint())) {
        pressedView_ = nullptr;
        return;
    }
    MapViewPart* view = ViewAt(e->position().toPoint());
    pressedView_ = nullptr;
    if (view && SheetCount())
        view->MouseRelease(e->position().toPoint());
}

void MapEditor::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || SheetCount() == 0)
        return;
    leftHeld_ = true;
    if (toolbar_->DoubleClick(e->position().toPoint()))
        return;
    if (MapViewPart* view = ViewAt(e->position().toPoint()); view && Sheet().enabled)
        view->DoubleClick(e->position().toPoint());
}

void MapEditor::wheelEvent(QWheelEvent* e)
{
    if (leftHeld_ || SheetCount() == 0 || !Sheet().enabled) {
        e->accept();
        return;
    }
    // The 3D graph's wheel depends on Shift and Ctrl as they are at this notch.
    interaction_.SetModifiers(e->modifiers() & Qt::ShiftModifier, e->modifiers() & Qt::ControlModifier);
    const int delta = e->angleDelta().y();
    const int notches = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    MapViewPart* view = ViewAt(e->position().toPoint());
    for (int i = 0; view && i < std::abs(notches); ++i)
        view->Wheel(e->position().toPoint(), notches > 0 ? 1 : -1);
    e->accept();
}

void MapEditor::focusInEvent(QFocusEvent*)
{
    focused_ = true;
    RequestRepaint(REPAINT);
}

void MapEditor::focusOutEvent(QFocusEvent*)
{
    focused_ = false;
    EndPress();
    if (Editing())
        CommitCellEdit();
    RequestRepaint(REPAINT);
}

void MapEditor::EndPress()
{
    leftHeld_ = false;
    // Released away from every button, the held toolbar button runs no command.
    toolbar_->MouseRelease(QPoint(-10000, -10000));
    MapViewPart* view = pressedView_;
    pressedView_ = nullptr;
    if (view && SheetCount())
        view->MouseRelease(mouse_);
}

void MapEditor::leaveEvent(QEvent*)
{
    mouse_ = QPoint(-1, -1);
    // The 3D graph's hint in the status line is its own; it goes with the pointer.
    if (viewMode_ == VIEW_3D && SheetCount())
        graph3d_->MouseMove(QPoint(-10000, -10000), false);
}

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
    // Asking the window system for the keys and the clipboard costs a round trip each; an editor
    // nobody sees only keeps its repaint request until it is shown.
    if (OnHiddenPage())
        return;
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    interaction_.SetModifiers(modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
    if (MapViewPart* view = PresentView(); view && SheetCount())
        view->Tick();
    if (toolbar_->Refresh(TickCount() & 2, TickCount() & 8))
        RequestRepaint(REPAINT);
    // The engine speed moves the graph's live line without moving the operating cell.
    const bool graphShown = SheetCount() && (viewBits_ & VIEW_2D) && Sheet().enabled && !Sheet().hidden;
    if (graphShown && graph2d_->LiveSpeedMoved())
        RequestRepaint(REPAINT);
    // A map on a page not shown keeps its request until it is shown (its paint event renders).
    if (repaintFlags_ && isVisible())
        Render();
    else if (Editing() && interaction_.CaretBlinked())
        update();
}

void MapEditor::RunCommand(int command)
{
    switch (command) {
    case CMD_SCROLL_X:
    case CMD_SCROLL_Y:
        interaction_.HideArrows();
        RequestRepaint(REPAINT_LAYOUT);
        return;
    case CMD_COPY_GRAPH:
        CopyGraph();
        return;
    case CMD_3D_TOP:
    case CMD_3D_ISO1:
    case CMD_3D_ISO2:
        graph3d_->ShowPreset(command);
        return;
    default:
        break;
    }
    interaction_.RunCommand(command);
    RequestRepaint(REPAINT_LAYOUT);
}

bool MapEditor::OnKey(int key, bool shift, bool ctrl)
{
    if (interaction_.OnKey(key, shift, ctrl))
        return true;
    return viewMode_ == VIEW_3D && SheetCount() && Sheet().enabled && graph3d_->Key(key);
}

QMenu* MapEditor::BuildPopup(QPoint position)
{
    delete popup_;
    popup_ = new QMenu(this);
    QMenu& menu = *popup_;
    if (SheetCount() == 0)
        return popup_;
    MapSheet& s = Sheet();
    auto add = [&](const QString& text, int command, bool checkable = false, bool checked = false) {
        QAction* action = menu.addAction(text);
        action->setData(command);
        action->setCheckable(checkable);
        action->setChecked(checked);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        return action;
    };
    if (s.flags & SF_CAN_DISABLE) {
        add(QString("%1 %2").arg(
                Text(s.enabled ? "###Disable ##Deaktivieren ##Zakázat " : "###Enable ##Aktivieren ##Povolit "),
                Text(s.label)),
            CMD_ENABLE_SHEET);
        menu.addSeparator();
    }
    if (!s.enabled)
        return popup_;
    const bool copy = Editing() ? interaction_.TextSelEnd() > interaction_.TextSelStart() : s.selection.count > 0;
    const bool overTab = SheetTabAt(position) >= 0;
    const bool overGraph = (viewBits_ & (VIEW_2D | VIEW_3D)) && geometry_.graphArea.contains(position);
    if (copy)
        add(Text("###Copy##Kopieren##Kopírovat"), CMD_COPY);
    if (copy || overTab || overGraph)
        add(Text("###Copy the entire table##Tabelle kopieren##Kopírovat celou tabulku"), CMD_COPY_TABLE);
    if (overGraph)
        add(Text("###Copy graph##Chart kopieren##Kopírovat graf"), CMD_COPY_GRAPH);
    if (copy || overTab || overGraph)
        menu.addSeparator();
    const int formats = ClipboardFormats();
    if ((formats & 2) && SomethingEditable())
        add(Text("###Paste table##Tabelle einfügen##Vložit tabulku"), CMD_PASTE);
    else if ((formats & 1) && s.selection.count && SelectionEditable())
        add(Text("###Paste##Einfügen##Vložit"), CMD_PASTE);
    if (CanInterpolate()) {
        menu.addSeparator();
        add(Text("###Interpolate##Interpolieren##Interpolovat"), CMD_INTERPOLATE);
    }
    menu.addSeparator();
    if (MapViewPart* view = ViewAt(position))
        view->AddPopupEntries(menu, position);
    struct ViewEntry {
        int view;
        int command;
        const char* text;
    } views[] = { { VIEW_TABLE, CMD_VIEW_TABLE, "###View as table##Als Tabelle anzeigen##Zbrazit jako tabulku" },
        { VIEW_2D, CMD_VIEW_2D, "###View as graph 2D##Als 2D-Graph anzeigen##Zobrazit jako 2D graf" },
        { VIEW_3D, CMD_VIEW_3D, "###View as graph 3D##Als 3D-Graph anzeigen##Zobrazit jako 3D graf" } };
    const int allowedBits[] = { OPT_TABLE, OPT_GRAPH2D, OPT_GRAPH3D };
    int offered = 0;
    for (int i = 0; i < 3; ++i)
        offered += (Options() & allowedBits[i]) != 0;
    if (offered > 1) {
        for (int i = 0; i < 3; ++i)
            if (Options() & allowedBits[i])
                add(Text(views[i].text), views[i].command, true,
                    viewMode_ == views[i].view || (views[i].view == VIEW_TABLE && viewMode_ == VIEW_POINTS));
        menu.addSeparator();
    }
    const int mx = s.axisX.offMode, my = s.axisY.offMode;
    if (mx < 2 && my < 2 && (mx == 1 || my == 1)) {
        const QString xl = Text(s.axisX.label), yl = Text(s.axisY.label);
        if (my == 1)
            add(QString("%1 %2").arg(Text("###Use only##Nur##Použij jen"), xl), CMD_ONLY_X, true,
                !s.axisX.off && s.axisY.off);
        if (mx == 1)
            add(QString("%1 %2").arg(Text("###Use only##Nur##Použij jen"), yl), CMD_ONLY_Y, true,
                s.axisX.off && !s.axisY.off);
        add(QString("%1 %2 %3 %4").arg(Text("###Use##Verwenden##Použij"), xl, Text("###and##und##a"), yl), CMD_BOTH,
            true, !s.axisX.off && !s.axisY.off);
    }
    return popup_;
}

void MapEditor::CopyGraph()
{
    if (geometry_.graphArea.isNull())
        return;
    whiteBackground_ = true;
    Render();
    const QImage copy = picture_.copy(geometry_.graphArea);
    whiteBackground_ = false;
    Render();
    QApplication::clipboard()->setImage(copy);
}

void MapEditor::ClipboardSet(const std::string& plain, const std::string* sheet)
{
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8(plain.c_str()));
    if (sheet)
        mime->setData(SheetMimeType, QByteArray(sheet->c_str(), static_cast<qsizetype>(sheet->size() + 1)));
    QApplication::clipboard()->setMimeData(mime);
}

int MapEditor::ClipboardFormats() const
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return 0;
    return (mime->hasText() ? 1 : 0) | (mime->hasFormat(SheetMimeType) ? 2 : 0);
}

std::string MapEditor::ClipboardText(bool sheetFormat) const
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    if (!sheetFormat)
        return mime->text().toStdString();
    const QByteArray bytes = mime->data(SheetMimeType);
    return std::string(bytes.constData(), strnlen(bytes.constData(), static_cast<size_t>(bytes.size())));
}
