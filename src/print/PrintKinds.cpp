#include "print/PrintKinds.h"

#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include <cstring>

namespace {

struct KindName {
    const char* className;
    PrintKind kind;
};

// The program's widget classes and the kinds they print as.
constexpr KindName KIND_NAMES[] = {
    { "QLabel", KIND_LABEL },
    { "UpDownSpinBox", KIND_UPDOWN },
    { "QSpinBox", KIND_UPDOWN },
    { "QDoubleSpinBox", KIND_DECI_UPDOWN },
    { "QRadioButton", KIND_RADIO_BUTTON },
    { "RadioGroup", KIND_RADIO_GROUP },
    { "QCheckBox", KIND_CHECK_BOX },
    { "QComboBox", KIND_COMBO_BOX },
    { "QPushButton", KIND_BUTTON },
    { "QGroupBox", KIND_GROUP_BOX },
    { "MapEditor", KIND_MAP_EDITOR },
    { "QTabWidget", KIND_PAGE_CONTROL },
    { "BarGauge", KIND_GAUGE },
    { "QLineEdit", KIND_EDIT },
    { "QToolButton", KIND_SPEED_BUTTON },
    { "QStatusBar", KIND_STATUS_BAR },
    { "QPlainTextEdit", KIND_MEMO },
    { "QTextEdit", KIND_MEMO },
};

bool IsTabSheet(const QWidget* control)
{
    const QWidget* stack = control->parentWidget();
    if (!stack || !qobject_cast<const QStackedWidget*>(stack))
        return false;
    const auto* tabs = qobject_cast<const QTabWidget*>(stack->parentWidget());
    return tabs && tabs->indexOf(const_cast<QWidget*>(control)) >= 0;
}

} // namespace

PrintKind PrintKindOf(const QWidget* control)
{
    const char* name = control->metaObject()->className();
    for (const KindName& k : KIND_NAMES)
        if (std::strcmp(k.className, name) == 0)
            return k.kind;
    return IsTabSheet(control) ? KIND_TAB_SHEET : KIND_OTHER;
}
