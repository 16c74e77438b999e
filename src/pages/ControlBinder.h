#pragma once

#include "model/FieldFact.h"
#include "model/FieldRef.h"

class QCheckBox;
class QComboBox;
class RadioGroup;
class UpDownSpinBox;

// The routines that move one image field into one control and back. While the program itself
// writes into controls the updating flag is set, so the control events can tell program updates
// from user edits.
class ControlBinder {
public:
    explicit ControlBinder(ParamImage& image) : img_(image) {}

    bool updating() const { return updating_ > 0; }

    // Sets the updating flag for the lifetime of the guard (nesting allowed).
    class Updating {
    public:
        explicit Updating(ControlBinder& b) : b_(b) { ++b_.updating_; }
        ~Updating() { --b_.updating_; }
        Updating(const Updating&) = delete;
        Updating& operator=(const Updating&) = delete;

    private:
        ControlBinder& b_;
    };

    void ImageToUpDown(UpDownSpinBox* c, FieldRef f, int scale = 1, int offset = 0);
    void UpDownToImage(const UpDownSpinBox* c, FieldRef f, int scale = 1, int offset = 0);
    // The same with the sign, scale and offset of the field's facts.
    void ImageToUpDown(UpDownSpinBox* c, const FieldFact& f, int element = 0);
    void UpDownToImage(const UpDownSpinBox* c, const FieldFact& f, int element = 0);
    void ImageToCheckBox(QCheckBox* c, FieldRef f);
    void CheckBoxToImage(const QCheckBox* c, FieldRef f);
    void ImageToRadioIndex(RadioGroup* c, FieldRef f);
    void RadioIndexToImage(const RadioGroup* c, FieldRef f);
    void ImageToItemCode(RadioGroup* c, FieldRef f);
    void ItemCodeToImage(const RadioGroup* c, FieldRef f);
    void ImageToItemCode(QComboBox* c, FieldRef f);
    void ItemCodeToImage(const QComboBox* c, FieldRef f);

    ParamImage& image() { return img_; }

private:
    ParamImage& img_;
    int updating_ = 0;
};
