#pragma once

#include "pages/ControlBinder.h"
#include "pages/UpDownField.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class RadioGroup;
class UpDownSpinBox;

// What a settings page asks of the window that owns it.
class PageHost {
public:
    enum CommitKind { COMMIT_NOW = 0, COMMIT_DELAYED = 1 };
    enum Answer { ANSWER_YES, ANSWER_NO, ANSWER_CANCEL };

    virtual ~PageHost() = default;
    virtual void RequestCommit(QObject* control, int kind) = 0;
    virtual void MarkEditorsForReload() = 0;
    virtual Answer AskYesNoCancel(const char* langText) = 0;
    // The New command for all pages, without asking again.
    virtual void NewWithoutAsking() = 0;
    virtual void RefreshActivePage() = 0;
    virtual void FocusProgramAfterChange() = 0;
};

// One page of the settings notebook: store (controls to image), load (image to controls) and
// update (visibility and enabling). Controls are created by the helpers below, which also attach
// the generic edit events.
class SettingsPage : public QObject {
    Q_OBJECT

public:
    SettingsPage(ControlBinder& binder, PageHost& host, QWidget* sheet);

    virtual void Store() = 0;
    virtual void Load() = 0;
    virtual void UpdateVisibility() = 0;
    // Re-applies language-dependent item texts.
    virtual void Retranslate() {}

    QWidget* sheet() const { return sheet_; }
    // Makes each caption label the buddy label of its field's control, once every control of the
    // page exists: its mnemonic then focuses the control, and screen readers name the control by it.
    void ConnectCaptionBuddies();

protected:
    UpDownSpinBox* MakeUpDown(const QString& name, int minimum, int maximum, int increment = 1);
    QCheckBox* MakeCheckBox(const QString& name);
    RadioGroup* MakeRadioGroup(const QString& name);
    QComboBox* MakeComboBox(const QString& name);
    QLabel* MakeLabel(const QString& name);
    // The control of a field's element, named and ranged as its facts say.
    UpDownSpinBox* MakeUpDown(const FieldFact& f, int element = 0);
    UpDownField makeUpDownField(const FieldFact& f, int element = 0) { return { MakeUpDown(f, element), &f, element }; }
    QCheckBox* MakeCheckBox(const FieldFact& f);
    RadioGroup* MakeRadioGroup(const FieldFact& f, int element = 0);
    QComboBox* MakeComboBox(const FieldFact& f);
    // The label that carries the caption of a field's element.
    QLabel* MakeCaptionLabel(const FieldFact& f, int element = 0);
    // The name a spin button of a field's element shares with its edit field and companions
    // ("Limiter" of UpDownLimiter and EditLimiter).
    static QString UpDownStem(const FieldFact& f, int element = 0);

    ParamImage& img() { return binder_.image(); }

    ControlBinder& binder_;
    PageHost& host_;
    QWidget* sheet_;
};
