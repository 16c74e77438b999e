#pragma once

#include <QPushButton>

// A push button whose caption keeps an average character's room on either side: the desktop's
// style fits a button tightly around long captions, which then touch its edges. The room follows
// every new caption (languages, the output names the monitor writes).
class RoomyButton : public QPushButton {
public:
    explicit RoomyButton(QWidget* parent = nullptr)
        : QPushButton(parent)
    {
    }

    QSize sizeHint() const override;
};
