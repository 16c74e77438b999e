#include "pages/SettingsPage.h"

#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

SettingsPage::SettingsPage(ControlBinder& binder, PageHost& host, QWidget* sheet)
    : QObject(sheet), binder_(binder), host_(host), sheet_(sheet)
{
}

UpDownSpinBox* SettingsPage::MakeUpDown(const QString& name, int minimum, int maximum, int increment)
{
    auto* c = new UpDownSpinBox("UpDown" + name, "Edit" + name, minimum, maximum, increment, sheet_);
    // Clicks on the arrows gather for a moment; leaving or confirming the edit applies at once.
    connect(c, &UpDownSpinBox::stepped, this, [this, c] {
        if (!binder_.updating())
            host_.RequestCommit(c, PageHost::COMMIT_DELAYED);
    });
    connect(c, &QSpinBox::editingFinished, this, [this, c] {
        if (!binder_.updating() && c->isVisible())
            host_.RequestCommit(c, PageHost::COMMIT_NOW);
    });
    return c;
}

QCheckBox* SettingsPage::MakeCheckBox(const QString& name)
{
    auto* c = new QCheckBox(sheet_);
    c->setObjectName(name);
    connect(c, &QCheckBox::clicked, this, [this, c] {
        if (!binder_.updating())
            host_.RequestCommit(c, PageHost::COMMIT_NOW);
    });
    return c;
}

RadioGroup* SettingsPage::MakeRadioGroup(const QString& name)
{
    auto* c = new RadioGroup(name, sheet_);
    connect(c, &RadioGroup::itemClicked, this, [this, c] {
        if (!binder_.updating())
            host_.RequestCommit(c, PageHost::COMMIT_NOW);
    });
    return c;
}

QComboBox* SettingsPage::MakeComboBox(const QString& name)
{
    auto* c = new QComboBox(sheet_);
    c->setObjectName(name);
    // The longest item (a synchronisation method, a bike's name) would widen the page in some
    // languages; the list itself still shows the items in full.
    constexpr int SHOWN_CHARACTERS = 16;
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(SHOWN_CHARACTERS);
    return c;
}

QLabel* SettingsPage::MakeLabel(const QString& name)
{
    auto* l = new QLabel(sheet_);
    l->setObjectName(name);
    return l;
}

namespace {

// A spin button is named "UpDown" + N and its edit field "Edit" + N; the facts name the spin button.
const QString UP_DOWN_PREFIX = "UpDown";

QString controlName(const FieldFact& f, int element) { return QString::fromStdString(f.ControlName(element)); }

} // namespace

QString SettingsPage::UpDownStem(const FieldFact& f, int element)
{
    const QString name = controlName(f, element);
    Q_ASSERT(name.startsWith(UP_DOWN_PREFIX));
    return name.mid(UP_DOWN_PREFIX.size());
}

UpDownSpinBox* SettingsPage::MakeUpDown(const FieldFact& f, int element)
{
    return MakeUpDown(UpDownStem(f, element), f.minimum, f.maximum, f.step);
}

QCheckBox* SettingsPage::MakeCheckBox(const FieldFact& f) { return MakeCheckBox(controlName(f, 0)); }

RadioGroup* SettingsPage::MakeRadioGroup(const FieldFact& f, int element)
{
    return MakeRadioGroup(controlName(f, element));
}

QComboBox* SettingsPage::MakeComboBox(const FieldFact& f) { return MakeComboBox(controlName(f, 0)); }

namespace {

// The property on a caption label that names its field's control until the buddies are connected.
const char* const BUDDY_NAME = "vordax4BuddyName";

} // namespace

QLabel* SettingsPage::MakeCaptionLabel(const FieldFact& f, int element)
{
    QLabel* label = MakeLabel(QString::fromStdString(f.CaptionKey(element)));
    label->setProperty(BUDDY_NAME, controlName(f, element));
    return label;
}

void SettingsPage::ConnectCaptionBuddies()
{
    for (QLabel* label : sheet_->findChildren<QLabel*>()) {
        const QString name = label->property(BUDDY_NAME).toString();
        if (name.isEmpty())
            continue;
        if (auto* control = sheet_->findChild<QWidget*>(name))
            label->setBuddy(control);
    }
}
