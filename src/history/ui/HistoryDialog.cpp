#include "history/ui/HistoryDialog.h"

#include "history/HistoryStore.h"
#include "history/ui/HistoryRowModel.h"
#include "lang/LangQString.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

constexpr const char* TITLE = "###Unit history##Gerätehistorie##Historie jednotek";
constexpr const char* UNITS = "###Units met, the connected one first:##Bisher verbundene Einheiten, die verbundene "
                              "zuerst:##Připojené jednotky, aktuálně připojená první:";
constexpr const char* EVENTS = "###Events of the unit, newest first:##Ereignisse der Einheit, neueste zuerst:"
                               "##Události jednotky, nejnovější první:";
constexpr const char* UNIT_HEADINGS[] = {
    "###Serial number##Seriennummer##Sériové číslo",
    "###Name##Name##Název",
    "###Firmware##Firmware##Firmware",
    "###First seen##Zuerst gesehen##Poprvé",
    "###Last seen##Zuletzt gesehen##Naposledy",
    "###Events##Ereignisse##Události",
};
constexpr const char* EVENT_HEADINGS[] = {
    "###Time##Zeit##Čas",
    "###Command##Befehl##Příkaz",
    "###Result##Ergebnis##Výsledek",
    "###File##Datei##Soubor",
    "###Program version##Programmversion##Verze programu",
    "###Bench##Arbeitsplatz##Pracoviště",
};
constexpr const char* SERVER = "###History &server:##Historien&server:##&Server historie:";
constexpr const char* SERVER_HINT = "###postgresql://USER@HOST:PORT/DATABASE – empty: the file of this PC##"
                                    "postgresql://BENUTZER@HOST:PORT/DATENBANK – leer: die Datei dieses PCs##"
                                    "postgresql://UŽIVATEL@HOST:PORT/DATABÁZE – prázdné: soubor tohoto PC";
constexpr const char* USE_SERVER = "###&Use##Ver&wenden##&Použít";
constexpr const char* WAITING = "###%1 events of this bench wait for the server.##%1 Ereignisse dieses "
                                "Arbeitsplatzes warten auf den Server.##%1 událostí tohoto pracoviště čeká na "
                                "server.";
constexpr const char* CONNECTED = "###%1 (connected)##%1 (verbunden)##%1 (připojena)";
constexpr const char* OK = "###OK##OK##OK";
constexpr const char* FAILED = "###failed##fehlgeschlagen##selhalo";
constexpr const char* CLOSE = "###&Close##&Schließen##&Zavřít";

struct ButtonText {
    HistoryDialog::Action action;
    const char* objectName;
    const char* text;
};
constexpr ButtonText BUTTONS[] = {
    { HistoryDialog::OpenAsSettings, "ButtonHistoryOpen",
        "###&Open as settings##Als Einstellungen ö&ffnen##&Otevřít "
        "jako nastavení" },
    { HistoryDialog::CompareWithScreen, "ButtonHistoryCompareScreen",
        "###Compare with &screen##Mit &Bildschirm "
        "vergleichen##Porovnat s &obrazovkou" },
    { HistoryDialog::CompareWithUnit, "ButtonHistoryCompareUnit",
        "###Compare with &unit##Mit &Einheit "
        "vergleichen##Porovnat s &jednotkou" },
    { HistoryDialog::SaveAsFile, "ButtonHistorySave", "###Save as .&ign…##Als .&ign speichern…##Uložit jako .&ign…" },
    { HistoryDialog::ForgetUnit, "ButtonHistoryForget",
        "###&Forget this unit##Diese Einheit &vergessen##&Zapomenout "
        "tuto jednotku" },
};
constexpr int WIDTH = 900;
constexpr int HEIGHT = 520;
constexpr int RESIZE_ROWS = 100;

QString TimeText(int64_t ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

// A table of rows that are made into texts as they come into view; the widths follow the first rows
// only, since the rows further down are not read until the list is scrolled to them.
QTableView* NewTable(const char* name, HistoryRowModel* rows, QWidget* parent)
{
    auto* t = new QTableView(parent);
    t->setObjectName(name);
    t->setModel(rows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setResizeContentsPrecision(RESIZE_ROWS);
    return t;
}

template <size_t N> QStringList Headings(const char* const (&texts)[N])
{
    QStringList list;
    for (const char* t : texts)
        list << LangQString(t);
    return list;
}

void SetCurrentRow(QTableView* table, HistoryRowModel* rows, int row)
{
    rows->FetchUpTo(row);
    table->setCurrentIndex(row < 0 ? QModelIndex() : rows->index(row, 0));
}

} // namespace

HistoryDialog::HistoryDialog(QWidget* parent)
    : QDialog(parent)
    , unitsLabel_(new QLabel(this))
    , units_(NewTable("TableHistoryUnits", new HistoryRowModel(std::size(UNIT_HEADINGS), this), this))
    , unitRows_(static_cast<HistoryRowModel*>(units_->model()))
    , eventsLabel_(new QLabel(this))
    , events_(NewTable("TableHistoryEvents", new HistoryRowModel(std::size(EVENT_HEADINGS), this), this))
    , eventRows_(static_cast<HistoryRowModel*>(events_->model()))
    , serverLabel_(new QLabel(this))
    , server_(new QLineEdit(this))
    , useServer_(new QPushButton(this))
    , waiting_(new QLabel(this))
{
    setObjectName("FormHistory");
    auto* buttons = new QHBoxLayout;
    for (const ButtonText& b : BUTTONS)
        buttons->addWidget(AddButton(b.objectName, b.action));
    buttons->addStretch(1);
    closeButton_ = new QPushButton(this);
    closeButton_->setObjectName("ButtonHistoryClose");
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ServerRow());
    layout->addWidget(unitsLabel_);
    layout->addWidget(units_, 2);
    layout->addWidget(eventsLabel_);
    layout->addWidget(events_, 3);
    layout->addLayout(buttons);
    resize(WIDTH, HEIGHT);

    connect(units_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { ShowEvents(); });
    connect(events_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { UpdateButtons(); });
    connect(events_, &QTableView::doubleClicked, this, [this] {
        if (act && CurrentUnit() && CurrentEvent() && CurrentEvent()->hasConfiguration)
            act(OpenAsSettings, *CurrentUnit(), CurrentEvent());
    });
    Retranslate();
}

QLayout* HistoryDialog::ServerRow()
{
    server_->setObjectName("EditHistoryServer");
    useServer_->setObjectName("ButtonHistoryServer");
    waiting_->setObjectName("LabelHistoryWaiting");
    waiting_->hide();
    serverLabel_->setBuddy(server_);
    const auto choose = [this] {
        if (chooseServer)
            chooseServer(server_->text().trimmed());
    };
    connect(useServer_, &QPushButton::clicked, this, choose);
    connect(server_, &QLineEdit::returnPressed, this, choose);
    auto* row = new QHBoxLayout;
    row->addWidget(serverLabel_);
    row->addWidget(server_, 1);
    row->addWidget(useServer_);
    row->addWidget(waiting_);
    return row;
}

void HistoryDialog::ShowServer(const QString& url, int waiting)
{
    // The field is left alone while it shows the server in use: the user may be typing in it.
    if (url != shownServer_)
        server_->setText(url);
    shownServer_ = url;
    waitingCount_ = waiting;
    waiting_->setText(WaitingText());
    waiting_->setVisible(waiting > 0);
}

QString HistoryDialog::WaitingText() const { return waitingCount_ > 0 ? LangQString(WAITING).arg(waitingCount_) : QString(); }

QPushButton* HistoryDialog::AddButton(const char* name, Action action)
{
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, [this, action] {
        if (act && CurrentUnit())
            act(action, *CurrentUnit(), CurrentEvent());
    });
    buttons_.emplace_back(b, action);
    return b;
}

void HistoryDialog::Retranslate()
{
    setWindowTitle(LangQString(TITLE));
    unitsLabel_->setText(LangQString(UNITS));
    eventsLabel_->setText(LangQString(EVENTS));
    unitRows_->SetHeadings(Headings(UNIT_HEADINGS));
    eventRows_->SetHeadings(Headings(EVENT_HEADINGS));
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i].first->setText(LangQString(BUTTONS[i].text));
    closeButton_->setText(LangQString(CLOSE));
    serverLabel_->setText(LangQString(SERVER));
    server_->setPlaceholderText(LangQString(SERVER_HINT));
    useServer_->setText(LangQString(USE_SERVER));
    waiting_->setText(WaitingText());
}

void HistoryDialog::Reload(HistoryStore& db, const std::string& connectedIdentity)
{
    db_ = &db;
    connectedIdentity_ = connectedIdentity;
    unitList_ = db.Units();
    // The connected unit first, the others as the database orders them (most recently seen first).
    std::stable_partition(unitList_.begin(), unitList_.end(),
        [&](const HistoryUnit& u) { return !connectedIdentity.empty() && u.Identity() == connectedIdentity; });
    Retranslate();
    ShowUnits();
}

void HistoryDialog::ShowUnits()
{
    const QSignalBlocker blocker(units_->selectionModel());
    unitRows_->Reset(static_cast<int>(unitList_.size()), [this](int row) { return UnitTexts(row); });
    units_->resizeColumnsToContents();
    SetCurrentRow(units_, unitRows_, unitList_.empty() ? -1 : 0);
    ShowEvents();
}

QStringList HistoryDialog::UnitTexts(int row) const
{
    const HistoryUnit& u = unitList_[static_cast<size_t>(row)];
    QString serial = QString::fromStdString(u.SerialText());
    if (!connectedIdentity_.empty() && u.Identity() == connectedIdentity_)
        serial = LangQString(CONNECTED).arg(serial);
    return { serial, QString::fromStdString(u.name), QString::fromStdString(u.firmware), TimeText(u.firstSeenMs),
        TimeText(u.lastSeenMs), QString::number(u.events) };
}

void HistoryDialog::ShowEvents()
{
    const QSignalBlocker blocker(events_->selectionModel());
    const HistoryUnit* unit = CurrentUnit();
    eventList_ = unit && db_ ? db_->Events(unit->id) : std::vector<HistoryEvent> {};
    eventRows_->Reset(static_cast<int>(eventList_.size()), [this](int row) { return EventTexts(row); });
    events_->resizeColumnsToContents();
    SetCurrentRow(events_, eventRows_, eventList_.empty() ? -1 : 0);
    UpdateButtons();
}

QStringList HistoryDialog::EventTexts(int row) const
{
    const HistoryEvent& e = eventList_[static_cast<size_t>(row)];
    return { TimeText(e.timeMs), QString::fromUtf8(HistoryKindText(e.kind)), LangQString(e.ok ? OK : FAILED),
        QString::fromStdString(e.file), QString::fromStdString(e.programVersion), QString::fromStdString(e.bench) };
}

void HistoryDialog::SelectUnit(int row) { SetCurrentRow(units_, unitRows_, row); }

void HistoryDialog::SelectEvent(int row) { SetCurrentRow(events_, eventRows_, row); }

QString HistoryDialog::CellText(const QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

const HistoryUnit* HistoryDialog::CurrentUnit() const
{
    const int row = units_->currentIndex().row();
    return row >= 0 && row < static_cast<int>(unitList_.size()) ? &unitList_[static_cast<size_t>(row)] : nullptr;
}

const HistoryEvent* HistoryDialog::CurrentEvent() const
{
    const int row = events_->currentIndex().row();
    return row >= 0 && row < static_cast<int>(eventList_.size()) ? &eventList_[static_cast<size_t>(row)] : nullptr;
}

void HistoryDialog::UpdateButtons()
{
    const HistoryEvent* e = CurrentEvent();
    const bool configuration = e && e->hasConfiguration;
    const bool connected = !connectedIdentity_.empty();
    for (auto& [button, action] : buttons_) {
        switch (action) {
        case ForgetUnit:
            button->setEnabled(CurrentUnit() != nullptr);
            break;
        case CompareWithUnit:
            button->setEnabled(configuration && connected);
            break;
        default:
            button->setEnabled(configuration);
            break;
        }
    }
}
