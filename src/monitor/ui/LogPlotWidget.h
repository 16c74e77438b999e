#pragma once

#include "monitor/LogPlot.h"
#include "monitor/ui/LogPlotPainter.h"

#include <QWidget>

#include <functional>

class QRubberBand;

// The plot of a recording with its cursor. A click or a drag with the left button moves the
// cursor (and through cursorMoved the player); the wheel zooms around the mouse, a drag with the
// right button zooms to the band it spans, a drag with the middle button (or Ctrl+left) pans.
class LogPlotWidget : public QWidget {
public:
    LogPlotWidget(const LogPlot& plot, QWidget* parent);

    LogPlotView& view() { return view_; }
    // Shows the whole recording.
    void FitAll();
    // Puts the cursor on a sample without reporting it (the player moved it).
    void ShowSample(int sample);
    // The plot as a picture of the widget's size.
    QImage Picture() const;

    std::function<void(int sample)> cursorMoved;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    enum class Drag { None, Cursor, Pan, Band };
    void MoveCursorTo(int x);
    void SetSpan(double from, double to);

    const LogPlot& plot_;
    LogPlotView view_;
    Drag drag_ = Drag::None;
    int dragStartX_ = 0;
    double dragFrom_ = 0.0, dragTo_ = 0.0;
    QRubberBand* band_ = nullptr;
};
