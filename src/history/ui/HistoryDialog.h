#pragma once

#include "history/HistoryEvent.h"
#include "history/HistoryUnit.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class HistoryStore;
class QLabel;
class QLineEdit;
class HistoryRowModel;
class QPushButton;
class QLayout;
class QTableView;

// "Unit history…": the units met, the connected one first, and the chosen unit's events, newest
// first. For an event with a configuration it offers to open it as the settings, to compare it with
// the screen or the connected unit, and to save it as a parameter file; for a unit, to forget it.
// The events show the bench that wrote them. At the top the history server is chosen (empty: the
// file of this PC), with the count of this bench's events that wait for it.
// The dialog reads the history; what the commands do is up to its owner.
class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    enum Action { OpenAsSettings, CompareWithScreen, CompareWithUnit, SaveAsFile, ForgetUnit };

    explicit HistoryDialog(QWidget* parent);

    // Reads the units again and shows them; connectedIdentity names the connected unit (empty: none).
    void Reload(HistoryStore& db, const std::string& connectedIdentity);
    // The server in use (its address, empty for the file) and the events waiting for it.
    void ShowServer(const QString& url, int waiting);
    // Selects a unit's row (0 is the top one).
    void SelectUnit(int row);
    void SelectEvent(int row);

    const HistoryUnit* CurrentUnit() const;
    const HistoryEvent* CurrentEvent() const;
    QTableView* unitTable() const { return units_; }
    QLineEdit* serverField() const { return server_; }
    QString WaitingText() const;
    QTableView* eventTable() const { return events_; }
    // The text shown in a cell of a table, as the view asks for it.
    static QString CellText(const QTableView* table, int row, int column);

    // A button was pressed; the owner carries the action out.
    std::function<void(Action, const HistoryUnit&, const HistoryEvent*)> act;
    // "Use" was pressed with the address in the server field (empty: the file of this PC).
    std::function<void(const QString&)> chooseServer;

private:
    void Retranslate();
    void ShowUnits();
    void ShowEvents();
    void UpdateButtons();
    QPushButton* AddButton(const char* name, Action action);
    QLayout* ServerRow();
    QStringList UnitTexts(int row) const;
    QStringList EventTexts(int row) const;

    HistoryStore* db_ = nullptr;
    std::string connectedIdentity_;
    std::vector<HistoryUnit> unitList_;
    std::vector<HistoryEvent> eventList_;
    QLabel* unitsLabel_;
    QTableView* units_;
    HistoryRowModel* unitRows_;
    QLabel* eventsLabel_;
    QTableView* events_;
    HistoryRowModel* eventRows_;
    QLabel* serverLabel_;
    QLineEdit* server_;
    QPushButton* useServer_;
    QLabel* waiting_;
    int waitingCount_ = 0;
    QString shownServer_;
    std::vector<std::pair<QPushButton*, Action>> buttons_;
    QPushButton* closeButton_ = nullptr;
};
