#include "pages/UpDownSpinBox.h"

UpDownSpinBox::UpDownSpinBox(const QString& upDownName, const QString& editName, int minimum, int maximum, int increment, QWidget* parent)
    : QSpinBox(parent)
{
    setObjectName(upDownName);
    lineEdit()->setObjectName(editName);
    setRange(minimum, maximum);
    setSingleStep(increment);
    setGroupSeparatorShown(true);
    setKeyboardTracking(false);
    setAccelerated(true);
}

void UpDownSpinBox::stepBy(int steps)
{
    const int before = value();
    QSpinBox::stepBy(steps);
    if (value() != before)
        emit stepped();
}

void UpDownSpinBox::setSpecialText(int value, const QString& text) { specialTexts_[value] = text; }

void UpDownSpinBox::setUpDownVisible(bool visible) { setButtonSymbols(visible ? UpDownArrows : NoButtons); }

QString UpDownSpinBox::textFromValue(int value) const
{
    const auto it = specialTexts_.find(value);
    return it != specialTexts_.end() ? it->second : QSpinBox::textFromValue(value);
}

// A language that groups digits with a non-breaking space (Czech) is typed with an ordinary one.
QString UpDownSpinBox::WithLocaleGroups(QString text) const
{
    const QString group = locale().groupSeparator();
    if (group != " " && group.trimmed().isEmpty())
        text.replace(' ', group);
    return text;
}

int UpDownSpinBox::valueFromText(const QString& text) const
{
    for (const auto& [value, special] : specialTexts_)
        if (text == special)
            return value;
    return QSpinBox::valueFromText(WithLocaleGroups(text));
}

QValidator::State UpDownSpinBox::validate(QString& text, int& pos) const
{
    for (const auto& [value, special] : specialTexts_)
        if (text == special)
            return QValidator::Acceptable;
    text = WithLocaleGroups(text);
    return QSpinBox::validate(text, pos);
}
