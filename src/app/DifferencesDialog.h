#pragma once

#include "model/ImageDifference.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

// The list of what differs between the settings on the screen and the unit (or a parameter file):
// one row per setting or map cell, its name and both values. A double-click on a row asks the window
// to show that setting. The dialog only shows; WindowDifferences decides what is compared.
class DifferencesDialog : public QDialog {
    Q_OBJECT

public:
    explicit DifferencesDialog(QWidget* parent);

    // subject: what is compared, in the current language; otherTitle: the LangString heading the
    // second value column ("Unit", "File"); firstTitle the first one (null: "Screen").
    void ShowList(const QString& subject, const char* otherTitle, const std::vector<ImageDifference>& differences,
        const char* firstTitle = nullptr);

    const std::vector<ImageDifference>& differences() const { return differences_; }
    QTableWidget* table() const { return table_; }

    // A row was double-clicked.
    std::function<void(const ImageDifference&)> showPlace;
    // The Refresh button, and the dialog becoming the active window again.
    std::function<void()> refresh;

protected:
    bool event(QEvent* e) override;

private:
    void Retranslate(const char* firstTitle, const char* otherTitle);

    QLabel* subject_;
    QTableWidget* table_;
    QLabel* hint_;
    QPushButton* refreshButton_;
    QPushButton* closeButton_;
    std::vector<ImageDifference> differences_;
};
