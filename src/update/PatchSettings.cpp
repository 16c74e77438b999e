#include "update/PatchSettings.h"

#include <QUrl>

#ifndef VORDAX4_UPDATE_ADDRESS
#define VORDAX4_UPDATE_ADDRESS ""
#endif

std::string DefaultUpdateAddress() { return VORDAX4_UPDATE_ADDRESS; }

std::string UpdateAddress(const std::string& setting)
{
    if (setting.empty())
        return DefaultUpdateAddress();
    QUrl url(QString::fromStdString(setting));
    if (url.path().isEmpty() || url.path() == "/")
        url.setPath("/old/patch.xml");
    return url.toString().toStdString();
}
