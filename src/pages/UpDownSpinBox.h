#pragma once

#include <QLineEdit>
#include <QSpinBox>

#include <map>

// A spin button with its associated edit field. The spin box carries the UpDown name, its edit
// field the Edit name, so both can be found by the names the pages use.
class UpDownSpinBox : public QSpinBox {
    Q_OBJECT

public:
    UpDownSpinBox(const QString& upDownName, const QString& editName, int minimum, int maximum, int increment, QWidget* parent);

    QLineEdit* edit() const { return lineEdit(); }

    // Shows text instead of the number for one value (the tachometer's "pickup 1").
    void setSpecialText(int value, const QString& text);
    // Hides or shows the arrows; the edit field stays.
    void setUpDownVisible(bool visible);

signals:
    // The user stepped the value with the arrows, the wheel or the cursor keys.
    void stepped();

protected:
    void stepBy(int steps) override;
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;

private:
    QString WithLocaleGroups(QString text) const;

    std::map<int, QString> specialTexts_;
};
