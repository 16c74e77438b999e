#include "update/PatchSettings.h"

#include <QUrl>

#ifndef VORDAX4_UPDATE_ADDRESS
#define VORDAX4_UPDATE_ADDRESS ""
#endif

std::string DefaultUpdateAddress() { return VORDAX4_UPDATE_ADDRESS; }

std::string UpdateAddress(const std::string& setting)
{
    std::string address = setting.empty() ? DefaultUpdateAddress() : setting;
    if (address.empty())
        return {};
    // Plain HTTP only where the address says so: a bare host name is fetched over HTTPS.
    if (address.find("://") == std::string::npos)
        address = "https://" + address;
    QUrl url(QString::fromStdString(address));
    if (url.path().isEmpty() || url.path() == "/")
        url.setPath("/old/patch.xml");
    return url.toString().toStdString();
}
