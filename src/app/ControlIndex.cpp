#include "app/ControlIndex.h"

#include <QObject>
#include <QWidget>

ControlIndex::ControlIndex(const QObject& root)
{
    for (QObject* object : root.findChildren<QObject*>())
        if (!object->objectName().isEmpty())
            byName_[object->objectName()].append(object);
}

const QList<QObject*>& ControlIndex::Named(const QString& name) const
{
    static const QList<QObject*> none;
    const auto found = byName_.constFind(name);
    return found == byName_.constEnd() ? none : *found;
}

QWidget* ControlIndex::Widget(const QString& name) const
{
    for (QObject* object : Named(name))
        if (object->isWidgetType())
            return static_cast<QWidget*>(object);
    return nullptr;
}
