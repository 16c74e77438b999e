#include "pages/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& name, QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), layout_(new QVBoxLayout(this))
{
    setObjectName(name);
    layout_->setContentsMargins(6, 4, 6, 4);
    layout_->setSpacing(2);
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

void RadioGroup::clearItems()
{
    for (QRadioButton* b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
    codes_.clear();
}

void RadioGroup::addItem(const QString& text, int code)
{
    auto* b = new QRadioButton(text, this);
    b->setObjectName(QString("%1Item%2").arg(objectName()).arg(buttons_.size()));
    group_->addButton(b, static_cast<int>(buttons_.size()));
    layout_->addWidget(b);
    buttons_.push_back(b);
    codes_.push_back(code);
}

void RadioGroup::setItemText(int index, const QString& text)
{
    if (QRadioButton* b = button(index))
        b->setText(text);
}

int RadioGroup::code(int index) const
{
    return index >= 0 && index < count() ? codes_[static_cast<size_t>(index)] : -1;
}

QRadioButton* RadioGroup::button(int index) const
{
    return index >= 0 && index < count() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (QRadioButton* b = button(index)) {
        b->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last button; lift that for a moment.
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_)
        b->setChecked(false);
    group_->setExclusive(true);
}
