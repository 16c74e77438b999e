#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QObject;
class QWidget;

// The window's named objects (widgets and menu actions) gathered in one walk of the window, so a
// pass over the caption tables looks each name up instead of searching the whole window per row.
class ControlIndex {
public:
    explicit ControlIndex(const QObject& root);

    // All objects of that name, in the order a recursive search of the window finds them.
    const QList<QObject*>& Named(const QString& name) const;
    // The first widget of that name, or null.
    QWidget* Widget(const QString& name) const;

private:
    QHash<QString, QList<QObject*>> byName_;
};
