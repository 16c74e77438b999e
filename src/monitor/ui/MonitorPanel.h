#pragma once

#include "monitor/MonitorDisplay.h"

#include <QPointer>
#include <QWidget>

#include <functional>

#include <map>
#include <string>

class QLabel;
class BarGauge;

// The live monitor of the main window: one label per monitor value and the two bar gauges.
// It only shows what RefreshMonitorDisplay computed.
class MonitorPanel : public QWidget {
    Q_OBJECT

public:
    explicit MonitorPanel(QWidget* parent);

    void Apply(const MonitorView& view);
    // LabelReplay above the values: says that they are a recording's, not the unit's; empty hides it.
    void ShowBanner(const QString& text);
    // What the panel shows without a live source ("---" for every value); the window supplies it.
    std::function<MonitorView()> restingView;
    // A printout shows settings, not the running engine: until EndResting the panel and the labels
    // it places elsewhere show the resting view; views applied meanwhile are kept for EndResting.
    void BeginResting();
    void EndResting();
    // The width the panel keeps in every language and state: the widest common line, a running
    // pick-up with its polarity, fits; rarer longer lines show in full as their tool tip.
    int ColumnWidth() const;

    // Labels other parts of the window place themselves (test labels, unit texts) are created
    // on demand and owned by the panel's layout only when no widget of that name exists.
    QLabel* Label(const std::string& name) const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Every line keeps a fixed size (the panel's width, one line of text): a new text then only
    // repaints its line instead of laying the whole panel out again.
    void FixLineSizes();
    void Show(const MonitorView& view);
    void ApplyLabel(const MonitorLabel& l);
    QWidget* Widget(const std::string& name);
    std::map<std::string, QLabel*> labels_;
    struct Placed {
        QPointer<QWidget> widget;
        bool found = false;
        int missedApplies = 0;
    };
    static constexpr int MISS_RETRY_APPLIES = 100;
    std::map<std::string, Placed> placed_;
    std::map<std::string, BarGauge*> gauges_;
    QLabel* banner_ = nullptr;
    int hintLanguage_ = -1;
    MonitorView shown_;
    bool resting_ = false;
};
