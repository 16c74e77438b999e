#include "app/WindowStatusBar.h"

#include "base/BuildInfo.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

constexpr int PANEL_WIDTHS[WindowStatusBar::PANELS] = { 400, 40, 350, 40, 100 };
// The hint and unit panels share the room the window has beyond the fixed panels; at their
// least width all five fit the smallest window.
constexpr int PANEL_STRETCH[WindowStatusBar::PANELS] = { 1, 0, 0, 0, 2 };
constexpr int HINT_MIN_WIDTH = 200;

} // namespace

WindowStatusBar::WindowStatusBar(QStatusBar* bar)
{
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < PANELS; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        if (PANEL_STRETCH[i] == 0) {
            panel->setFixedWidth(PANEL_WIDTHS[i]);
        } else {
            // A long text is cut, not laid out: it never pushes the other panels.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panel->setMinimumWidth(i == HINT_PANEL ? HINT_MIN_WIDTH : PANEL_WIDTHS[i]);
        }
        panel->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(panel, PANEL_STRETCH[i]);
        panels_[static_cast<size_t>(i)] = panel;
    }
    panels_[EXE_PANEL]->setText("EXE");
    panels_[HEX_PANEL]->setText("HEX");
    for (const Panel fixed : { EXE_PANEL, HEX_PANEL })
        panels_[fixed]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void WindowStatusBar::ShowStartTexts(const std::string& compileDate)
{
    panels_[VERSION_PANEL]->setText(QString::fromStdString(VersionLine(compileDate)));
    panels_[UNIT_PANEL]->setText("not connected");
}

void WindowStatusBar::ShowHint(const QString& text) { panels_[HINT_PANEL]->setText(text); }

void WindowStatusBar::SetUnitText(const std::string& text)
{
    // The panel is narrow; the whole unit line stays readable as its tool tip.
    QLabel* unit = panels_[UNIT_PANEL];
    unit->setText(QString::fromUtf8(text.c_str()));
    unit->setToolTip(unit->text());
}

QString WindowStatusBar::Text(int panel) const
{
    return panel >= 0 && panel < PANELS ? panels_[static_cast<size_t>(panel)]->text() : QString();
}

void WindowStatusBar::FollowMenus(QMenuBar* bar)
{
    QLabel* hint = panels_[HINT_PANEL];
    for (QAction* item : bar->actions()) {
        QMenu* menu = item->menu();
        if (!menu)
            continue;
        // A menu's hints are about its items: once it closes, the panel shows again what it showed before.
        QObject::connect(menu, &QMenu::aboutToShow, hint, [this, hint] { textBeforeMenu_ = hint->text(); });
        QObject::connect(menu, &QMenu::aboutToHide, hint, [this, hint] { hint->setText(textBeforeMenu_); });
    }
}
