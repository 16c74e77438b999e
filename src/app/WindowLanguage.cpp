#include "app/WindowLanguage.h"

#include "app/EditCycle.h"
#include "app/QtTranslations.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "link/ConnectionManager.h"
#include "lang/LangString.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

constexpr const char* LANGUAGE_ITEMS[LANG_COUNT] = { "MenuEnglish", "MenuGerman", "MenuCzech" };

} // namespace

WindowLanguage::WindowLanguage(
    QWidget& window, EditCycle& edits, WindowPages& pages, WindowMonitor& monitor, ConnectionManager& manager)
    : window_(window)
    , edits_(edits)
    , pages_(pages)
    , monitor_(monitor)
    , manager_(manager)
{
}

void WindowLanguage::CreateMenu(QMenuBar* bar)
{
    QMenu* menu = bar->addMenu(QString());
    menu->menuAction()->setObjectName("MenuLanguage");
    auto* group = new QActionGroup(menu);
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        QAction* a = menu->addAction(QString(), this, [this, lang] { SetLanguage(lang); });
        a->setObjectName(LANGUAGE_ITEMS[lang]);
        a->setCheckable(true);
        group->addAction(a);
    }
}

template <typename Pass> void WindowLanguage::WithIndex(Pass pass)
{
    index_ = std::make_unique<ControlIndex>(window_);
    pass();
    index_.reset();
}

void WindowLanguage::ApplyCaptions()
{
    WithIndex([this] { ::ApplyCaptions(Targets()); });
}

void WindowLanguage::Retranslate()
{
    ApplyQtTranslations(LanguageIndex);
    // The window's widgets, the spin fields among them, take the language's number format at once.
    window_.setLocale(LanguageLocale(LanguageIndex));
    WithIndex([this] { BuildRuntimeTexts(texts_, Targets()); });
    pages_.Retranslate();
    NameIconButtons();
}

// A button that shows only a picture is read out by a screen reader under its tool tip.
void WindowLanguage::NameIconButtons()
{
    for (QAbstractButton* button : window_.findChildren<QAbstractButton*>())
        if (button->text().isEmpty() && !button->toolTip().isEmpty())
            button->setAccessibleName(button->toolTip());
}

void WindowLanguage::SetLanguage(int language)
{
    LanguageIndex = language;
    Retranslate();
    edits_.RefreshPages(false);
    monitor_.Retranslate();
    manager_.Retranslate();
}

LanguageTargets WindowLanguage::Targets()
{
    CaptionTarget menus;
    menus.setText = [this](const char* c, const char* t) { SetControlText(c, t); };
    menus.setChecked = [this](const char* c, bool on) { SetActionChecked(c, on); };
    menus.setVisible = [this](const char* c, bool on) { SetActionVisible(c, on); };
    CaptionTarget hints;
    hints.setText = [this](const char* c, const char* t) { SetControlHint(c, t); };
    CaptionTarget captions = menus;
    return { menus, hints, captions, [this] {
                edits_.UpdateCaption();
                pages_.SetTabCaptions();
            } };
}

void WindowLanguage::SetControlText(const char* control, const char* text)
{
    const QString name = QString::fromLatin1(control);
    const QString t = QString::fromUtf8(text);
    for (QObject* object : index_->Named(name))
        if (auto* a = qobject_cast<QAction*>(object))
            a->setText(t);
    QTabWidget* tabs = pages_.Tabs();
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->objectName() == name)
            tabs->setTabText(i, t);
    QWidget* w = index_->Widget(name);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(t);
}

void WindowLanguage::SetControlHint(const char* control, const char* text)
{
    const QString name = QString::fromLatin1(control);
    const QString t = QString::fromUtf8(text);
    for (QObject* object : index_->Named(name))
        if (auto* a = qobject_cast<QAction*>(object)) {
            a->setToolTip(t);
            a->setStatusTip(t);
        }
    if (QWidget* w = index_->Widget(name)) {
        w->setToolTip(t);
        w->setStatusTip(t);
    }
}

QAction* WindowLanguage::Action(const char* control) const
{
    for (QObject* object : index_->Named(QString::fromLatin1(control)))
        if (auto* a = qobject_cast<QAction*>(object))
            return a;
    return nullptr;
}

void WindowLanguage::SetActionChecked(const char* control, bool on)
{
    if (QAction* a = Action(control))
        a->setChecked(on);
}

void WindowLanguage::SetActionVisible(const char* control, bool on)
{
    if (QAction* a = Action(control))
        a->setVisible(on);
}
