#include "monitor/ui/MonitorPanel.h"

#include "base/Colours.h"
#include "lang/LangString.h"
#include "monitor/ui/BarGauge.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>

#include <algorithm>
#include <utility>

namespace {

// The labels of the panel in display order: left column engine, right column states.
const char* const kLeft[] = {"LabelRpm", "LabelTpsMon", "LabelNapeti", "LabelAdvance1", "LabelAdvance2",
    "LabelAdvance3", "LabelAdvance4", "LabelMonSnimac1", "LabelMonSnimac2", "LabelServo", "LabelPocetProgramovani",
    "LabelHourMeter", "LabelEeDataErr"};
const char* const kRight[] = {"LabelMonLimiterOut", "LabelMonStartLimiterOut", "LabelKillSwitch", "LabelBlocking",
    "LabelClutchMon", "LabelMonRetard", "LabelMonInput1In", "LabelMonInput2In", "LabelMonPOut1", "LabelMonPOut2",
    "LabelVerze1", "LabelVerze2", "LabelVerze3"};

// Black on yellow: the replay banner stands out from the values' own colours.
constexpr uint32_t BANNER_BACK = 0x0000FFFF;
constexpr uint32_t BANNER_TEXT = 0x00000000;

constexpr std::pair<const char*, const char*> kGaugeHints[] = {
    { "CGaugeRpm", "###Engine speed##Motordrehzahl##Otáčky motoru" },
    { "CGaugeTps", "###Load##Last##Zatížení" },
};

} // namespace

MonitorPanel::MonitorPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName("MonitorPanel");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(1);
    int row = 0;
    banner_ = new QLabel(this);
    banner_->setObjectName("LabelReplay");
    banner_->setAutoFillBackground(true);
    banner_->setAlignment(Qt::AlignCenter);
    // Its row is kept while it is hidden, so the values never move when a replay starts or stops.
    QSizePolicy keepsItsRow(QSizePolicy::Ignored, QSizePolicy::Fixed);
    keepsItsRow.setRetainSizeWhenHidden(true);
    banner_->setSizePolicy(keepsItsRow);
    QFont bold = banner_->font();
    bold.setBold(true);
    banner_->setFont(bold);
    QPalette colours = banner_->palette();
    colours.setColor(QPalette::Window, ToQColor(BANNER_BACK));
    colours.setColor(QPalette::WindowText, ToQColor(BANNER_TEXT));
    banner_->setPalette(colours);
    banner_->hide();
    grid->addWidget(banner_, row++, 0, 1, 2);
    for (const auto& [name, hint] : kGaugeHints) {
        auto* g = new BarGauge(this);
        g->setObjectName(name);
        g->setFixedHeight(12);
        grid->addWidget(g, row++, 0, 1, 2);
        gauges_[name] = g;
    }
    // The engine values above the states, in one column: the long state texts stay readable, and a
    // label whose text grows never widens the window.
    const auto addGroup = [&](const auto& names) {
        for (const char* name : names) {
            auto* l = new QLabel(this);
            l->setObjectName(name);
            l->setAutoFillBackground(true);
            l->setMargin(1);
            l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            grid->addWidget(l, row++, 0, 1, 2);
            labels_[name] = l;
        }
    };
    addGroup(kLeft);
    grid->setRowMinimumHeight(row++, 8);
    addGroup(kRight);
    grid->setRowStretch(row, 1);
}

void MonitorPanel::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    FixLineSizes();
}

void MonitorPanel::FixLineSizes()
{
    const QMargins margins = layout()->contentsMargins();
    const int width = std::max(0, this->width() - margins.left() - margins.right());
    for (const auto& [name, l] : labels_)
        l->setFixedSize(width, l->fontMetrics().height() + 2 * (l->margin() + l->frameWidth()));
}

int MonitorPanel::ColumnWidth() const
{
    constexpr int MIN_WIDTH = 340;
    const int margins = contentsMargins().left() + contentsMargins().right() + 16;
    return std::max(MIN_WIDTH, fontMetrics().horizontalAdvance("Pick-up (CKPS) 1 = is running, negative polarity") + margins);
}

void MonitorPanel::ShowBanner(const QString& text)
{
    if (banner_->text() != text)
        banner_->setText(text);
    banner_->setVisible(!text.isEmpty());
}

QLabel* MonitorPanel::Label(const std::string& name) const
{
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

// Widgets placed by other parts of the window are looked up once; one that goes is looked up
// again, and a name the window lacks only now and then (most such names never come).
QWidget* MonitorPanel::Widget(const std::string& name)
{
    if (QLabel* own = Label(name))
        return own;
    Placed& placed = placed_[name];
    const bool lookUp = placed.found ? !placed.widget : placed.missedApplies++ % MISS_RETRY_APPLIES == 0;
    if (lookUp) {
        placed.widget = window()->findChild<QWidget*>(QString::fromStdString(name));
        placed.found = placed.widget != nullptr;
    }
    return placed.widget;
}

namespace {

// Texts and colours are set only when they differ from what the widget shows: the monitor
// refreshes every few ticks with mostly the same values, and a new text or palette makes the
// widget lay out and repaint. (Qt's own setters of visibility and state already return early.)
template <typename Widget> void SetTextIfChanged(Widget* w, const QString& text)
{
    if (w->text() != text)
        w->setText(text);
}

void SetColourIfChanged(QWidget* w, QPalette::ColorRole role, uint32_t colour)
{
    const QColor c = ToQColor(colour);
    if (w->palette().color(role) == c)
        return;
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

} // namespace

void MonitorPanel::ApplyLabel(const MonitorLabel& l)
{
    QWidget* w = Widget(l.name);
    const QString text = QString::fromUtf8(l.text.c_str());
    if (auto* asLabel = qobject_cast<QLabel*>(w)) {
        if (asLabel->text() != text) {
            asLabel->setText(text);
            // A line longer than the column is cut; its tool tip holds it whole.
            asLabel->setToolTip(text);
        }
    } else if (auto* asButton = qobject_cast<QAbstractButton*>(w))
        SetTextIfChanged(asButton, text);
    else
        return;
    SetColourIfChanged(w, QPalette::Window, l.colour);
    w->setEnabled(l.enabled);
    // Controls of functions the unit family lacks stay hidden.
    w->setVisible(l.visible && !w->property("hiddenInFamily").toBool());
}

void MonitorPanel::Apply(const MonitorView& view)
{
    shown_ = view;
    if (!resting_)
        Show(view);
}

void MonitorPanel::BeginResting()
{
    if (resting_ || !restingView)
        return;
    Show(restingView());
    resting_ = true;
}

void MonitorPanel::EndResting()
{
    if (!resting_)
        return;
    resting_ = false;
    Show(shown_);
}

void MonitorPanel::Show(const MonitorView& view)
{
    for (const MonitorLabel& l : view.labels)
        ApplyLabel(l);
    for (const MonitorGauge& g : view.gauges) {
        const auto it = gauges_.find(g.name);
        if (it == gauges_.end())
            continue;
        BarGauge* bar = it->second;
        bar->setMaximum(g.maximum);
        bar->setValue(g.value);
        bar->setColour(ToQColor(g.colour));
    }
    // The bars have no caption of their own; the tool tip names them in the current language.
    if (hintLanguage_ != LanguageIndex) {
        hintLanguage_ = LanguageIndex;
        for (const auto& [name, hint] : kGaugeHints)
            gauges_.at(name)->setToolTip(QString::fromUtf8(LangText(hint)));
    }
}
