#pragma once

#include <QDialog>

class QLabel;

// The About box: program, build and maker. Shown modally from the Help menu.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // Lays the box out, captions it in the current language and shows it modally.
    void MenuAboutClick();

private:
    QLabel* Place(const char* name, int left, int top, const QString& text, int pixelSize);
};
