#include "monitor/ui/MonitorPanel.h"

#include "base/Colours.h"
#include "lang/LangString.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

#include <utility>

namespace {

// The labels of the panel in display order: left column engine, right column states.
const char* const kLeft[] = {"LabelRpm", "LabelTpsMon", "LabelNapeti", "LabelAdvance1", "LabelAdvance2",
    "LabelAdvance3", "LabelAdvance4", "LabelMonSnimac1", "LabelMonSnimac2", "LabelServo", "LabelPocetProgramovani",
    "LabelHourMeter", "LabelEeDataErr"};
const char* const kRight[] = {"LabelMonLimiterOut", "LabelMonStartLimiterOut", "LabelKillSwitch", "LabelBlocking",
    "LabelClutchMon", "LabelMonRetard", "LabelMonInput1In", "LabelMonInput2In", "LabelMonPOut1", "LabelMonPOut2",
    "LabelVerze1", "LabelVerze2", "LabelVerze3"};

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
    for (const auto& [name, hint] : kGaugeHints) {
        auto* g = new QProgressBar(this);
        g->setObjectName(name);
        g->setTextVisible(false);
        g->setMaximumHeight(12);
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

int MonitorPanel::ColumnWidth() const
{
    constexpr int MIN_WIDTH = 340;
    const int margins = contentsMargins().left() + contentsMargins().right() + 16;
    return std::max(MIN_WIDTH, fontMetrics().horizontalAdvance("Pick-up (CKPS) 1 = is running, negative polarity") + margins);
}

QLabel* MonitorPanel::label(const std::string& name) const
{
    const auto it = labels_.find(name);
    return it == labels_.end() ? nullptr : it->second;
}

void MonitorPanel::applyLabel(const MonitorLabel& l)
{
    const QString text = QString::fromUtf8(l.text.c_str());
    QWidget* w = label(l.name);
    if (!w)
        w = window()->findChild<QWidget*>(QString::fromStdString(l.name));
    if (auto* asLabel = qobject_cast<QLabel*>(w)) {
        asLabel->setText(text);
        if (asLabel->toolTip() != text)
            asLabel->setToolTip(text);
    } else if (auto* asButton = qobject_cast<QAbstractButton*>(w))
        asButton->setText(text);
    else
        return;
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToQColor(l.colour));
    w->setPalette(p);
    w->setEnabled(l.enabled);
    // Controls of functions the unit family lacks stay hidden.
    w->setVisible(l.visible && !w->property("hiddenInFamily").toBool());
}

void MonitorPanel::Apply(const MonitorView& view)
{
    for (const MonitorLabel& l : view.labels)
        applyLabel(l);
    for (const MonitorGauge& g : view.gauges) {
        const auto it = gauges_.find(g.name);
        if (it == gauges_.end())
            continue;
        QProgressBar* bar = it->second;
        bar->setMaximum(g.maximum);
        bar->setValue(std::clamp(g.value, 0, g.maximum));
        QPalette p = bar->palette();
        p.setColor(QPalette::Highlight, ToQColor(g.colour));
        bar->setPalette(p);
    }
    // The bars have no caption of their own; the tool tip names them in the current language.
    for (const auto& [name, hint] : kGaugeHints)
        gauges_.at(name)->setToolTip(QString::fromUtf8(LangText(hint)));
}
