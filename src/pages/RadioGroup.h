#pragma once

#include <QGroupBox>

#include <vector>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

// A captioned group of radio buttons, one of which (or none) is selected. Each item may carry a
// code, which is what item-code bindings store in the image.
class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    RadioGroup(const QString& name, QWidget* parent);

    void clearItems();
    void addItem(const QString& text, int code);
    void setItemText(int index, const QString& text);
    int count() const { return static_cast<int>(buttons_.size()); }
    int code(int index) const;
    QRadioButton* button(int index) const;

    int itemIndex() const;
    // Selects item index; -1 selects nothing.
    void setItemIndex(int index);

signals:
    void itemClicked(int index);

private:
    QButtonGroup* group_;
    QVBoxLayout* layout_;
    std::vector<QRadioButton*> buttons_;
    std::vector<int> codes_;
};
