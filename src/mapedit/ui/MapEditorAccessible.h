#pragma once

#include <QAccessibleWidget>
#include <QString>

class MapEditor;

// What a screen reader learns of a map editor: its name says which map and view it is, its
// description how the view is used, and its value the focused element with its position and value
// ("Row 40 %, column 3 000: 12.5 °"), all in the present language.
class MapEditorAccessible : public QAccessibleWidget {
public:
    explicit MapEditorAccessible(MapEditor* editor);

    // The factory Qt asks for the interface of a widget; it answers for map editors only.
    static QAccessibleInterface* Create(const QString& className, QObject* object);
    // Installs the factory once per run.
    static void Install();
    // Tells a listening screen reader that the focused element or its value changed.
    static void NoteChange(MapEditor* editor);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;

    // The texts themselves, so that they can be asked without an accessibility bridge.
    static QString NameOf(MapEditor& editor);
    static QString DescriptionOf(MapEditor& editor);
    static QString FocusedElementOf(MapEditor& editor);

private:
    MapEditor& Editor() const;

    // The focused element as last told to the screen reader.
    QString lastSaid_;
};
