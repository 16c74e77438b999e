#include "app/DifferencesDialog.h"

#include "lang/LangQString.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* TITLE = "###Differences##Unterschiede##Rozdíly";
constexpr const char* SETTING = "###Setting##Einstellung##Nastavení";
constexpr const char* SCREEN = "###Screen##Bildschirm##Obrazovka";
constexpr const char* HINT
    = "###A double-click on a row shows the setting.##Ein Doppelklick auf eine Zeile zeigt die Einstellung."
      "##Dvojklik na řádek ukáže nastavení.";
constexpr const char* REFRESH = "###&Refresh##&Aktualisieren##&Obnovit";
constexpr const char* CLOSE = "###&Close##&Schließen##&Zavřít";
constexpr int NAME_COLUMN = 0;
constexpr int COLUMNS = 3;
constexpr int WIDTH = 470;
constexpr int HEIGHT = 380;

} // namespace

DifferencesDialog::DifferencesDialog(QWidget* parent)
    : QDialog(parent)
    , subject_(new QLabel(this))
    , table_(new QTableWidget(0, COLUMNS, this))
    , hint_(new QLabel(this))
    , refreshButton_(new QPushButton(this))
    , closeButton_(new QPushButton(this))
{
    setObjectName("FormDifferences");
    subject_->setObjectName("LabelDifferencesSubject");
    subject_->setWordWrap(true);
    table_->setObjectName("TableDifferences");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(NAME_COLUMN, QHeaderView::Stretch);
    refreshButton_->setObjectName("ButtonDifferencesRefresh");
    closeButton_->setObjectName("ButtonDifferencesClose");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hint_, 1);
    buttons->addWidget(refreshButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(subject_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(WIDTH, HEIGHT);

    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (showPlace && row >= 0 && row < static_cast<int>(differences_.size()))
            showPlace(differences_[static_cast<size_t>(row)]);
    });
    connect(refreshButton_, &QPushButton::clicked, this, [this] {
        if (refresh)
            refresh();
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
}

bool DifferencesDialog::event(QEvent* e)
{
    // Back in the dialog after editing or switching the language in the window: the list follows.
    if (e->type() == QEvent::WindowActivate && refresh && isVisible())
        refresh();
    return QDialog::event(e);
}

void DifferencesDialog::Retranslate(const char* firstTitle, const char* otherTitle)
{
    setWindowTitle(LangQString(TITLE));
    table_->setHorizontalHeaderLabels({ LangQString(SETTING), LangQString(firstTitle ? firstTitle : SCREEN), LangQString(otherTitle) });
    hint_->setText(LangQString(HINT));
    refreshButton_->setText(LangQString(REFRESH));
    closeButton_->setText(LangQString(CLOSE));
}

void DifferencesDialog::ShowList(const QString& subject, const char* otherTitle,
    const std::vector<ImageDifference>& differences, const char* firstTitle)
{
    Retranslate(firstTitle, otherTitle);
    // An unchanged list stays as it is, with its selection and a double-click under way.
    const auto same = [](const ImageDifference& a, const ImageDifference& b) {
        return a.name == b.name && a.first == b.first && a.second == b.second;
    };
    if (subject == subject_->text()
        && std::equal(differences.begin(), differences.end(), differences_.begin(), differences_.end(), same))
        return;
    differences_ = differences;
    subject_->setText(subject);
    table_->clearContents();
    table_->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const ImageDifference& d = differences[static_cast<size_t>(row)];
        int column = 0;
        for (const std::string* text : { &d.name, &d.first, &d.second })
            table_->setItem(row, column++, new QTableWidgetItem(QString::fromStdString(*text)));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setSectionResizeMode(NAME_COLUMN, QHeaderView::Stretch);
}
