#include "monitor/ui/LogViewer.h"

#include "base/PngFile.h"
#include "lang/LangQString.h"
#include "monitor/LogTrace.h"
#include "monitor/ui/LogFileDialog.h"
#include "monitor/ui/LogPlotWidget.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>

namespace {

// Shown when the viewer opens; the Traces menu adds or removes the others.
const char* const FIRST_TRACES[] = { "rpm", "load", "adv1", "supply", "limiter", "quickshift" };

} // namespace

LogViewer::LogViewer(MonitorPlayer& player, std::function<void()> playerMoved,
    std::function<void(const std::string&)> message, QWidget* parent)
    : QMainWindow(parent), player_(player), playerMoved_(std::move(playerMoved)), message_(std::move(message))
{
    setObjectName("LogViewer");
    ShowTitle();
    plotWidget_ = new LogPlotWidget(plot_, this);
    plotWidget_->cursorMoved = [this](int sample) { CursorMoved(sample); };
    for (const char* key : FIRST_TRACES)
        plotWidget_->view().traces.push_back(LogTrace::Find(key));
    setCentralWidget(plotWidget_);
    CreateMenus();
    resize(1000, 700);
}

void LogViewer::ShowTitle()
{
    const QString title = LangQString("###Log viewer##Protokollanzeige##Prohlížeč záznamů");
    setWindowTitle(path_.empty() ? title : title + " - " + QFileInfo(QString::fromStdString(path_)).fileName());
}

void LogViewer::Retranslate()
{
    menuBar()->clear();
    CreateMenus();
    ShowTitle();
}

void LogViewer::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(LangQString("###&File##&Datei##&Soubor"));
    file->addAction(LangQString("###&Open recording...##Aufzeichnung ö&ffnen...##&Otevřít záznam..."),
        QKeySequence::Open, this, [this] { ChooseAndOpen(); });
    file->addAction(LangQString("###&Export as PNG...##Als PNG &exportieren...##&Exportovat jako PNG..."), this,
        [this] { ChooseAndExport(); });
    file->addSeparator();
    file->addAction(LangQString("###&Close##&Schließen##&Zavřít"), QKeySequence::Close, this, [this] { close(); });
    QMenu* view = menuBar()->addMenu(LangQString("###&View##&Ansicht##&Zobrazení"));
    view->addAction(LangQString("###&Fit all##&Alles zeigen##Zobrazit &vše"), QKeySequence(Qt::Key_Home), this,
        [this] { plotWidget_->FitAll(); });
    showOnMapsItem_ = view->addAction(LangQString("###Show on &maps##Auf &Kennfeldern zeigen##Zobrazit na &mapách"));
    showOnMapsItem_->setObjectName("MenuShowOnMaps");
    showOnMapsItem_->setCheckable(true);
    showOnMapsItem_->setChecked(mapsShown_);
    connect(showOnMapsItem_, &QAction::triggered, this, [this](bool on) {
        if (showOnMaps)
            showOnMaps(on && !path_.empty());
    });
    QMenu* traces = menuBar()->addMenu(LangQString("###&Traces##&Kurven##&Průběhy"));
    for (size_t t = 0; t < LogTrace::All().size(); ++t) {
        const int index = static_cast<int>(t);
        QAction* a = traces->addAction(LangQString(LogTrace::All()[t].title));
        a->setCheckable(true);
        std::vector<int>& shown = plotWidget_->view().traces;
        a->setChecked(std::find(shown.begin(), shown.end(), index) != shown.end());
        connect(a, &QAction::toggled, this, [this, index](bool on) {
            std::vector<int>& list = plotWidget_->view().traces;
            list.erase(std::remove(list.begin(), list.end(), index), list.end());
            if (on)
                list.push_back(index);
            std::sort(list.begin(), list.end());
            plotWidget_->update();
        });
    }
}

bool LogViewer::Open(const QString& path)
{
    const std::string error = plot_.Load(path.toStdString());
    path_.clear();
    plotWidget_->FitAll();
    plotWidget_->ShowSample(-1);
    if (!error.empty()) {
        if (message_)
            message_(LangText(error));
        return false;
    }
    path_ = path.toStdString();
    lastFolder_ = QFileInfo(path).absolutePath();
    ShowTitle();
    // The maps go on showing the recording the viewer shows.
    if (showOnMaps && mapsShown_)
        showOnMaps(true);
    if (player_.state() == MonitorPlayer::Idle && player_.StartPlaying(path_)) {
        player_.Pause();
        if (playerMoved_)
            playerMoved_();
    }
    FollowPlayer();
    return true;
}

void LogViewer::SetShowOnMapsChecked(bool on)
{
    mapsShown_ = on;
    showOnMapsItem_->setChecked(on);
}

bool LogViewer::PlayerOnRecording() const
{
    return !path_.empty() && player_.replaying() && player_.fileName() == path_;
}

void LogViewer::FollowPlayer()
{
    if (PlayerOnRecording())
        plotWidget_->ShowSample(plot_.SampleOfPosition(player_.position()));
}

void LogViewer::CursorMoved(int sample)
{
    if (!PlayerOnRecording() || sample < 0)
        return;
    player_.SetPosition(plot_.PositionOf(sample));
    if (playerMoved_)
        playerMoved_();
}

bool LogViewer::ExportPng(const QString& path) const
{
    return SavePng(plotWidget_->Picture(), path);
}

void LogViewer::ChooseAndOpen()
{
    const QString path = chooseRecording ? chooseRecording() : LogFileDialog::Choose(this, false, lastFolder_);
    if (!path.isEmpty())
        Open(path);
}

void LogViewer::ChooseAndExport()
{
    QString path
        = QFileDialog::getSaveFileName(this, LangQString("###Export as PNG##Als PNG exportieren##Exportovat jako PNG"),
            QString(), LangQString("###PNG pictures (*.png)##PNG-Bilder (*.png)##Obrázky PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(".png", Qt::CaseInsensitive))
        path += ".png";
    if (!ExportPng(path) && message_)
        message_(LangText("###The picture cannot be written.##Das Bild kann nicht geschrieben werden.##"
                          "Obrázek nelze zapsat."));
}
