#include "monitor/ui/PlayerPanel.h"

#include "lang/LangString.h"

#include <QFileInfo>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>

namespace {

enum Button { RecordButton, PlayButton, PauseButton, StopButton };
constexpr QStyle::StandardPixmap ICONS[4] = { QStyle::SP_DialogYesButton, QStyle::SP_MediaPlay, QStyle::SP_MediaPause,
    QStyle::SP_MediaStop };

} // namespace

PlayerPanel::PlayerPanel(MonitorPlayer& player, ChooseFile chooseFile, QWidget* parent)
    : QGroupBox(parent), player_(player), chooseFile_(std::move(chooseFile))
{
    setObjectName("GroupBoxPlayer");
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString("SpeedButtonPlay%1").arg(i + 1));
        if (i == RecordButton)
            b->setText("REC");
        connect(b, &QToolButton::clicked, this, [this, i] { SpeedButtonPlayClick(i); });
        grid->addWidget(b, 0, i);
        buttons_[i] = b;
    }
    viewer_ = new QToolButton(this);
    viewer_->setObjectName("ButtonLogViewer");
    connect(viewer_, &QToolButton::clicked, this, [this] {
        if (openLogViewer)
            openLogViewer();
    });
    showOnMaps_ = new QToolButton(this);
    showOnMaps_->setObjectName("ButtonShowOnMaps");
    showOnMaps_->setCheckable(true);
    connect(showOnMaps_, &QToolButton::clicked, this, [this](bool on) {
        if (showOnMaps)
            showOnMaps(on);
    });
    auto* tools = new QHBoxLayout;
    tools->addWidget(viewer_);
    tools->addWidget(showOnMaps_);
    tools->addStretch(1);
    grid->addLayout(tools, 0, 4);
    scrollBarPlay_ = new QScrollBar(Qt::Horizontal, this);
    scrollBarPlay_->setObjectName("ScrollBarPlay");
    connect(scrollBarPlay_, &QScrollBar::valueChanged, this, [this](int pos) {
        if (positioning_)
            return;
        player_.SetPosition(pos);
        UpdateDisplay();
    });
    labelPlayFile_ = new QLabel(this);
    labelPlayFile_->setObjectName("LabelPlayFile");
    labelPlayPos_ = new QLabel(this);
    labelPlayPos_->setObjectName("LabelPlayPos");
    labelPlayDevice_ = new QLabel(this);
    labelPlayDevice_->setObjectName("LabelPlayDevice");
    // The panel keeps its height whatever the player shows, so the monitor above it never moves,
    // and a long file name never widens it.
    for (QWidget* w : std::initializer_list<QWidget*> { scrollBarPlay_, labelPlayPos_, labelPlayFile_, labelPlayDevice_ }) {
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    grid->addWidget(scrollBarPlay_, 1, 0, 1, 5);
    grid->addWidget(labelPlayPos_, 2, 0, 1, 5);
    grid->addWidget(labelPlayFile_, 3, 0, 1, 5);
    grid->addWidget(labelPlayDevice_, 4, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    Retranslate();
    UpdateDisplay();
}

void PlayerPanel::Retranslate()
{
    viewer_->setText(QString::fromUtf8(LangText("###Plot...##Diagramm...##Graf...")));
    viewer_->setToolTip(QString::fromUtf8(LangText("###Log viewer##Protokollanzeige##Prohlížeč záznamů")));
    showOnMaps_->setText(QString::fromUtf8(LangText("###Show on maps##Auf Kennfeldern##Na mapách")));
    showOnMaps_->setToolTip(QString::fromUtf8(LangText(
        "###Shade the map cells by the time the engine ran in them in this recording##Kennfeldzellen nach der Zeit "
        "schattieren, die der Motor in dieser Aufzeichnung in ihnen lief##Vystínovat buňky map podle doby, kterou "
        "v nich motor v tomto záznamu běžel")));
}

void PlayerPanel::SetShowOnMapsChecked(bool on)
{
    showOnMaps_->setChecked(on);
    UpdateDisplay();
}

void PlayerPanel::SpeedButtonPlayClick(int button)
{
    if (positioning_)
        return;
    switch (button) {
    case RecordButton:
        if (player_.state() == MonitorPlayer::RecordingPaused) {
            player_.ResumeRecording();
        } else if (player_.state() == MonitorPlayer::Idle) {
            const QString file = chooseFile_ ? chooseFile_(true) : QString();
            if (!file.isEmpty())
                player_.StartRecording(file.toStdString(), recordingInfo ? recordingInfo() : RecordingInfo{});
        }
        break;
    case PlayButton:
        if (player_.state() == MonitorPlayer::PlayingPaused) {
            player_.ResumePlaying();
        } else if (player_.state() == MonitorPlayer::Idle) {
            const QString file = chooseFile_ ? chooseFile_(false) : QString();
            if (!file.isEmpty())
                player_.StartPlaying(file.toStdString());
        }
        break;
    case PauseButton:
        player_.Pause();
        break;
    case StopButton:
        player_.Stop();
        break;
    }
    UpdateDisplay();
}

void PlayerPanel::UpdateDisplay()
{
    const PlayerDisplay d = player_.Display();
    buttons_[RecordButton]->setEnabled(d.recordEnabled);
    buttons_[PlayButton]->setEnabled(d.playEnabled);
    buttons_[PauseButton]->setEnabled(d.pauseEnabled);
    buttons_[StopButton]->setEnabled(d.stopEnabled);
    // Marks once shown can be cleared whatever the player does next.
    showOnMaps_->setEnabled(player_.replaying() || showOnMaps_->isChecked());
    positioning_ = true;
    scrollBarPlay_->setVisible(d.scrollVisible);
    scrollBarPlay_->setMaximum(std::max(0, d.scrollMax));
    scrollBarPlay_->setValue(d.scrollPos);
    positioning_ = false;
    labelPlayPos_->setVisible(d.labelsVisible);
    labelPlayPos_->setText(QString::fromStdString(d.posText));
    labelPlayFile_->setVisible(d.labelsVisible);
    labelPlayFile_->setText(QFileInfo(QString::fromStdString(d.fileText)).fileName());
    labelPlayDevice_->setVisible(d.deviceVisible);
}

// The panel starts hidden and most runs never show it: its icons, which the style looks up among
// the desktop's icon themes, are fetched when it first shows rather than while the window starts.
void PlayerPanel::showEvent(QShowEvent* event)
{
    if (buttons_[0]->icon().isNull())
        for (int i = 0; i < 4; ++i)
            buttons_[i]->setIcon(style()->standardIcon(ICONS[i]));
    QGroupBox::showEvent(event);
}
