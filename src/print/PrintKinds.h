#pragma once

class QWidget;

// What a control is for the printout, by its class; the codes are those the print records carry.
enum PrintKind {
    KIND_OTHER = 0,
    KIND_LABEL = 1,
    KIND_UPDOWN = 2,
    KIND_DECI_UPDOWN = 3,
    KIND_RADIO_BUTTON = 4,
    KIND_RADIO_GROUP = 5,
    KIND_CHECK_BOX = 6,
    KIND_COMBO_BOX = 7,
    KIND_BUTTON = 8,
    KIND_GROUP_BOX = 9,
    KIND_MAP_EDITOR = 10,
    KIND_PAGE_CONTROL = 15,
    KIND_TAB_SHEET = 16,
    KIND_GAUGE = 17,
    KIND_IMAGE = 18,
    KIND_EDIT = 19,
    KIND_BITMAP_BUTTON = 21,
    KIND_SPEED_BUTTON = 22,
    KIND_BEVEL = 23,
    KIND_STATUS_BAR = 24,
    KIND_MEMO = 25,
    KIND_DECI_EDIT = 26,
};

// The kind of a control by the exact class it was made of; any class the table does not name is
// KIND_OTHER. A sheet of a tab control is a plain widget, so its kind comes from where it sits.
PrintKind PrintKindOf(const QWidget* control);
