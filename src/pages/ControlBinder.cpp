#include "pages/ControlBinder.h"

#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include <QCheckBox>
#include <QComboBox>

void ControlBinder::ImageToUpDown(UpDownSpinBox* c, FieldRef f, int scale, int offset)
{
    Updating guard(*this);
    c->setValue(ImageToScreen(img_, f, scale, offset));
}

void ControlBinder::UpDownToImage(const UpDownSpinBox* c, FieldRef f, int scale, int offset)
{
    ScreenToImage(img_, f, c->value(), scale, offset);
}

void ControlBinder::ImageToUpDown(UpDownSpinBox* c, const FieldFact& f, int element)
{
    ImageToUpDown(c, f.Ref(element), f.scale, f.offset);
}

void ControlBinder::UpDownToImage(const UpDownSpinBox* c, const FieldFact& f, int element)
{
    UpDownToImage(c, f.Ref(element), f.scale, f.offset);
}

void ControlBinder::ImageToCheckBox(QCheckBox* c, FieldRef f)
{
    Updating guard(*this);
    const bool checked = f.Read(img_) != 0;
    if (c->isChecked() != checked)
        c->setChecked(checked);
}

void ControlBinder::CheckBoxToImage(const QCheckBox* c, FieldRef f) { f.Write(img_, c->isChecked() ? 1 : 0); }

void ControlBinder::ImageToRadioIndex(RadioGroup* c, FieldRef f)
{
    Updating guard(*this);
    c->setItemIndex(f.Read(img_));
}

void ControlBinder::RadioIndexToImage(const RadioGroup* c, FieldRef f) { f.Write(img_, c->itemIndex()); }

void ControlBinder::ImageToItemCode(RadioGroup* c, FieldRef f)
{
    Updating guard(*this);
    const int code = f.Read(img_);
    if (c->code(c->itemIndex()) == code && c->itemIndex() >= 0)
        return;
    int match = -1;
    for (int i = 0; i < c->count() && match < 0; ++i)
        if (c->code(i) == code)
            match = i;
    c->setItemIndex(match);
}

void ControlBinder::ItemCodeToImage(const RadioGroup* c, FieldRef f)
{
    const int index = c->itemIndex();
    f.Write(img_, index < 0 ? -1 : c->code(index));
}

void ControlBinder::ImageToItemCode(QComboBox* c, FieldRef f)
{
    Updating guard(*this);
    const int code = f.Read(img_);
    if (c->currentIndex() >= 0 && c->currentData().toInt() == code)
        return;
    c->setCurrentIndex(c->findData(code));
}

void ControlBinder::ItemCodeToImage(const QComboBox* c, FieldRef f)
{
    f.Write(img_, c->currentIndex() < 0 ? -1 : c->currentData().toInt());
}
