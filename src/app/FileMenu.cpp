#include "app/FileMenu.h"

#include "app/EditCycle.h"
#include "app/ReferenceFile.h"
#include "app/WindowPages.h"
#include "files/BuildStamp.h"
#include "files/ServiceFiles.h"
#include "lang/CaptionTables.h"
#include "link/StatusSlots.h"
#include "model/LoadGroups.h"
#include "print/PrintCommands.h"
#include "print/PrintHeader.h"

#include <QAction>
#include <QDate>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* const IGN_FILTER = "Ignition Parameters(*.ign)";
#ifdef Q_OS_WIN
const char* const ALL_FILTER = "All Files (*.*)";
#else
const char* const ALL_FILTER = "All Files (*)"; // names without a dot are files too
#endif

// A menu shows "&" as a mnemonic mark; a file name keeps its own.
QString MenuText(const QString& caption)
{
    QString text = caption;
    return text.replace('&', "&&");
}

} // namespace

FileMenu::FileMenu(QMainWindow& window, EditCycle& edits, WindowPages& pages, StatusSlots& status,
    ParamFileState& state, IgnMessageSink errorSink, OutsideSettings* outside)
    : QObject(&window)
    , window_(window)
    , edits_(edits)
    , pages_(pages)
    , status_(status)
    , state_(state)
    , errorSink_(errorSink)
    , commands_(edits.Image(), state, errorSink, outside)
    , defaultPath_(DefaultParamPath())
    , reference_(std::make_unique<ReferenceFile>(edits, pages.Editors(), errorSink, outside))
{
    ctrlHeld = [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier); };
    infoBox = [this](const std::string& text) {
        QMessageBox::information(&window_, QString(), QString::fromUtf8(text.c_str()));
    };
    ConnectPrinting();
}

FileMenu::~FileMenu() = default;

void FileMenu::ConnectPrinting()
{
    printing_ = std::make_unique<PrintCommands>(window_);
    printing_->beforePrint = [this](bool all) {
        // Moving the focus off an edit field applies what was typed into it.
        edits_.FocusProgramAfterChange();
        edits_.CommitPendingEdit();
        if (all)
            edits_.RefreshPages(true);
    };
    printing_->header = [this] {
        const IgnUnitInfo unit = unitInfo ? unitInfo() : IgnUnitInfo {};
        const QString unitText = unit.connectedPort ? unit.firmwareVersion + " " + unit.firmwareDate : QString();
        return PrintHeader(state_.currentFile, unitText, QDate::currentDate());
    };
}

QString FileMenu::DefaultParamPath() { return QDir(QCoreApplication::applicationDirPath()).filePath("data.ign"); }

QString FileMenu::FirstIgnFile(const QStringList& names)
{
    for (const QString& name : names) {
        if (name.size() < 4)
            continue;
        QString tail = name.right(4);
        for (QChar& c : tail)
            if (c >= 'A' && c <= 'Z')
                c = QChar(c.unicode() + ('a' - 'A'));
        if (tail == ".ign")
            return name;
    }
    return {};
}

QAction* FileMenu::AddCommand(QMenu* menu, const char* name, const QKeySequence& keys, std::function<void()> handler)
{
    QAction* action = menu->addAction(QString());
    action->setObjectName(name);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return action;
}

void FileMenu::Build(QMenuBar* menuBar, QToolBar* toolBar)
{
    auto* file = new QMenu(menuBar);
    file->menuAction()->setObjectName("MenuFile");
    const QList<QAction*> existing = menuBar->actions();
    menuBar->insertMenu(existing.isEmpty() ? nullptr : existing.first(), file);

    AddCommand(file, "MenuNew", QKeySequence(Qt::CTRL | Qt::Key_N), [this] { New(false); });
    AddCommand(file, "MenuNewPage", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N), [this] { New(true); });
    file->addSeparator();
    // The keys every other program uses for Open and Save work beside the function keys.
    AddCommand(file, "MenuOpen", QKeySequence(Qt::Key_F3), [this] { Open(false, false); })
        ->setShortcuts({ QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_O) });
    AddCommand(file, "MenuOpenExeDir", QKeySequence(Qt::CTRL | Qt::Key_F3), [this] { Open(true, false); });
    AddCommand(file, "MenuOpenPage", QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { Open(false, true); });
    AddCommand(file, "MenuOpenReference", QKeySequence(), [this] { OpenReference(); });
    clearReference_ = AddCommand(file, "MenuClearReference", QKeySequence(), [this] { ClearReference(); });
    RefreshReferenceMenu();
    file->addSeparator();
    AddCommand(file, "MenuSave", QKeySequence(Qt::Key_F2), [this] { Save(false); })
        ->setShortcuts({ QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S) });
    AddCommand(file, "MenuSaveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { Save(false); });
    AddCommand(file, "MenuSaveExeDir", QKeySequence(Qt::CTRL | Qt::Key_F2), [this] { Save(true); });
    file->addSeparator();
    AddCommand(file, "MenuPrint", QKeySequence(Qt::CTRL | Qt::Key_P), [this] { printing_->Print(); });
    // Shown once the menu texts are applied.
    AddCommand(file, "MenuPrintAll", QKeySequence(), [this] { printing_->PrintAll(); })->setVisible(false);
    AddCommand(file, "MenuPrintMaps", QKeySequence(), [this] { printing_->PrintMaps(); });
    AddCommand(file, "MenuPrintPreview", QKeySequence(), [this] { printing_->Preview(); });
    AddCommand(file, "MenuExportPdf", QKeySequence(), [this] { printing_->ExportPdf(); });
    file->addSeparator();
    for (int k = 1; k <= HISTORY_ITEMS; ++k) {
        const QByteArray name = QString("MenuHistory%1").arg(k).toLatin1();
        historyItems_[k - 1] = AddCommand(file, name.constData(), QKeySequence(), [this, k] { OpenHistory(k); });
    }
    historySeparator_ = file->addSeparator();
    AddCommand(file, "MenuExit", QKeySequence(), [this] { window_.close(); });

    // The service menu goes before Help, so Help stays last.
    serviceMenu_ = new QMenu("Servis", menuBar);
    serviceMenu_->menuAction()->setObjectName("MenuServis");
    QAction* before = nullptr;
    for (QAction* a : menuBar->actions())
        if (a->objectName() == "MenuHelp")
            before = a;
    menuBar->insertMenu(before, serviceMenu_);
    AddCommand(serviceMenu_, "MenuSaveAllNew", QKeySequence(), [this] { SaveAllNew(); })->setText("Save All New");
    AddCommand(serviceMenu_, "MenuCompareAll", QKeySequence(), [this] { CompareAllNew(); })->setText("Compare All New");
    SetServiceMenuVisible(false);

    struct Button {
        const char* name;
        QStyle::StandardPixmap icon;
        std::function<void()> click;
    };
    const Button buttons[] = {
        { "SpeedButtonNew", QStyle::SP_FileIcon, [this] { New(false); } },
        { "SpeedButtonOpen", QStyle::SP_DialogOpenButton, [this] { Open(ctrlHeld(), false); } },
        { "SpeedButtonSave", QStyle::SP_DialogSaveButton, [this] { Save(ctrlHeld()); } },
        { "SpeedButtonPrint", QStyle::SP_FileDialogContentsView, [this] { printing_->Print(); } },
    };
    QAction* first = toolBar->actions().isEmpty() ? nullptr : toolBar->actions().first();
    for (const Button& b : buttons) {
        auto* button = new QToolButton(toolBar);
        button->setObjectName(b.name);
        button->setIcon(window_.style()->standardIcon(b.icon));
        connect(button, &QToolButton::clicked, this, [click = b.click] { click(); });
        toolBar->insertWidget(first, button);
    }
    RefreshHistoryMenu();
}

void FileMenu::SetServiceMenuVisible(bool visible)
{
    if (serviceMenu_)
        serviceMenu_->menuAction()->setVisible(visible);
}

void FileMenu::RefreshHistoryMenu()
{
    for (int k = 1; k <= HISTORY_ITEMS; ++k) {
        QAction* item = historyItems_[k - 1];
        if (!item)
            return;
        // The entry's number is its mnemonic.
        item->setText("&" + MenuText(state_.history.Caption(k)));
        item->setVisible(state_.history.menuItemVisible(k));
    }
    historySeparator_->setVisible(state_.history.separatorVisible());
}

void FileMenu::PresetDialogs(const QString& path)
{
    openName_ = path;
    saveName_ = path;
}

QString FileMenu::RunDialog(bool forSaving, const QString& fileName)
{
    QFileDialog dialog(&window_);
    // The dialog is titled like the command that opened it, without the menu's mnemonic mark.
    if (const char* title = CaptionFor(CaptionTableId::Menu, forSaving ? "MenuSave" : "MenuOpen"))
        dialog.setWindowTitle(QString::fromUtf8(title).remove('&'));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("ign");
    QStringList filters { IGN_FILTER };
    if (!forSaving)
        filters << ALL_FILTER;
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    if (!fileName.isEmpty()) {
        const QFileInfo info(fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

// Each dialog keeps the name it was last left with.
QString FileMenu::Choose(bool forSaving) { return ChooseAs(forSaving, forSaving ? saveName_ : openName_); }

QString FileMenu::ChooseAs(bool forSaving, QString& name)
{
    const QString path = chooseFile ? chooseFile(forSaving, name) : RunDialog(forSaving, name);
    if (!path.isEmpty())
        name = path;
    return path;
}

void FileMenu::AfterFileChange()
{
    edits_.UpdateCaption();
    RefreshHistoryMenu();
}

void FileMenu::New(bool activePageOnly)
{
    const int page = pages_.Active();
    if (edits_.AskYesNoCancel(NEW_QUESTION) != PageHost::ANSWER_YES)
        return;
    NewConfirmed(activePageOnly ? page : PAGE_ALL);
}

void FileMenu::NewConfirmed(int page)
{
    commands_.New(page);
    edits_.MarkEditorsForReload();
    edits_.RefreshPages(false);
    edits_.CommitEdit();
    HideResultStatus();
    AfterFileChange();
}

void FileMenu::Open(bool fromDefaultPath, bool activePageOnly)
{
    const int page = activePageOnly ? pages_.Active() : PAGE_ALL;
    if (fromDefaultPath)
        PresetDialogs(defaultPath_);
    const QString path = Choose(false);
    if (path.isEmpty())
        return;
    OpenParameterFile(page, path);
}

void FileMenu::OpenReference()
{
    if (referenceName_.isEmpty())
        referenceName_ = openName_;
    const QString path = ChooseAs(false, referenceName_);
    if (!path.isEmpty())
        reference_->Open(path);
    RefreshReferenceMenu();
}

void FileMenu::ClearReference()
{
    reference_->Clear();
    RefreshReferenceMenu();
}

void FileMenu::RefreshReferenceMenu()
{
    if (clearReference_)
        clearReference_->setEnabled(reference_->Loaded());
}

void FileMenu::OpenHistory(int item)
{
    const QString path = state_.history.entry(item);
    if (item >= 1 && !path.isEmpty())
        OpenParameterFile(PAGE_ALL, path);
}

bool FileMenu::OpenDropped(const QStringList& paths)
{
    const QString path = FirstIgnFile(paths);
    if (path.isEmpty())
        return false;
    PresetDialogs(path);
    OpenParameterFile(PAGE_ALL, path);
    return true;
}

IgnOpenResult FileMenu::OpenParameterFile(int page, const QString& path)
{
    // An edit still waiting for its delay must land before the file, never on top of it.
    edits_.FocusProgramAfterChange();
    edits_.CommitPendingEdit();
    const int wasNew = state_.newInstal;
    const IgnOpenResult result = commands_.OpenParameterFile(page, path);
    if (result.status == IgnLoadStatus::Loaded) {
        edits_.ImageReplaced();
    }
    if (result.accepted()) {
        // The snapshot first, so the commit finds nothing new and requests no programming.
        edits_.TakeUndoSnapshot();
        edits_.CommitEdit();
        PresetDialogs(path);
    }
    HideResultStatus();
    AfterFileChange();
    if (wasNew && !state_.newInstal)
        edits_.SaveSettings();
    return result;
}

void FileMenu::Save(bool presetDefaultPath)
{
    if (presetDefaultPath)
        PresetDialogs(defaultPath_);
    const QString path = Choose(true);
    if (path.isEmpty())
        return;
    edits_.ApplyPage();
    const bool saved = commands_.Save(path, unitInfo ? unitInfo() : IgnUnitInfo {});
    edits_.RefreshPages(false);
    if (!saved)
        return;
    openName_ = path;
    AfterFileChange();
}

// The second status message (LabelResult) tells of the last command, which New and Open end.
void FileMenu::HideResultStatus() { status_.ShowStatus(2, nullptr, 0, 0, COLOUR_UNCHANGED, -1); }

void FileMenu::SaveAllNew()
{
    ServiceFiles::SaveAllNew(QDir::currentPath(), unitInfo ? unitInfo() : IgnUnitInfo {}, BuildStamp::Program(),
        ServiceFiles::DefaultBikeText, errorSink_);
    edits_.RefreshPages(false);
}

void FileMenu::CompareAllNew()
{
    ServiceFiles::CompareAllNew(QDir::currentPath(), ServiceFiles::DefaultBikeText, infoBox);
}
