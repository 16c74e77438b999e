#include "app/ModalDialogs.h"

#include <QApplication>
#include <QDialog>

void CloseModalDialogs()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible())
            dialog->reject();
}
