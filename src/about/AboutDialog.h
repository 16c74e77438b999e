#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QScrollArea;

// The About box: program, build and maker. Shown modally from the Help menu.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // Lays the box out, captions it in the current language and shows it modally.
    void MenuAboutClick();
    // Sizes the box to its content, or smaller with the content scrolling where the screen's free
    // area is smaller, and centres it there.
    void FitInto(const QRect& available);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QLabel* Place(const char* name, int left, int top, const QString& text, int pixelSize);
    // OK in the bottom-right corner of what is seen of the content.
    void PlaceOk();

    QWidget* content_;
    QScrollArea* scroll_ = nullptr;
    QPushButton* ok_ = nullptr;
};
