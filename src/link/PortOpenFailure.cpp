#include "link/PortOpenFailure.h"

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr const char* PERMISSION_TEXT
    = "###{device} cannot be opened: permission denied. Add yourself to the group {group}: sudo adduser $USER "
      "{group}, then log in again"
      "##{device} lässt sich nicht öffnen: keine Berechtigung. Treten Sie der Gruppe {group} bei: sudo adduser "
      "$USER {group}, dann neu anmelden"
      "##{device} nelze otevřít: chybí oprávnění. Přidejte se do skupiny {group}: sudo adduser $USER {group}, pak "
      "se znovu přihlaste";
constexpr const char* BUSY_TEXT = "###{device} cannot be opened: another program holds it"
                                  "##{device} lässt sich nicht öffnen: ein anderes Programm belegt es"
                                  "##{device} nelze otevřít: používá jej jiný program";
constexpr const char* GONE_TEXT = "###{device} cannot be opened: the device is gone"
                                  "##{device} lässt sich nicht öffnen: das Gerät ist nicht mehr da"
                                  "##{device} nelze otevřít: zařízení už není připojeno";
constexpr const char* OTHER_TEXT = "###{device} cannot be opened: {detail}"
                                   "##{device} lässt sich nicht öffnen: {detail}"
                                   "##{device} nelze otevřít: {detail}";

void ReplaceAll(std::string& text, const std::string& key, const std::string& value)
{
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
}

std::string GroupName(gid_t gid)
{
    group entry {};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        return found->gr_name;
    return std::to_string(gid);
}

// A device the user can neither read nor write is refused for permission.
bool PermissionDenied(const std::string& device)
{
    return ::access(device.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

} // namespace

PortOpenFailure PortOpenFailure::Diagnose(const std::string& device, PortFailureCause reported, const std::string& detail)
{
    PortOpenFailure failure { reported, device, {}, detail };
    struct stat st { };
    if (reported == PortFailureCause::GONE || ::stat(device.c_str(), &st) != 0) {
        failure.cause = PortFailureCause::GONE;
    } else if (PermissionDenied(device)) {
        failure.cause = PortFailureCause::PERMISSION;
        failure.group = GroupName(st.st_gid);
    } else if (reported == PortFailureCause::PERMISSION) {
        // The user may use the device, so the refusal is the lock or exclusive mode of another program.
        failure.cause = PortFailureCause::BUSY;
    }
    return failure;
}

PortOpenFailure PortOpenFailure::Probe(const std::string& device)
{
    struct stat st { };
    if (::stat(device.c_str(), &st) != 0)
        return { PortFailureCause::GONE, device, {}, {} };
    if (PermissionDenied(device))
        return { PortFailureCause::PERMISSION, device, GroupName(st.st_gid), {} };
    return {};
}

std::string PortOpenFailure::Reason() const
{
    std::string text;
    switch (cause) {
    case PortFailureCause::NONE:
        return {};
    case PortFailureCause::PERMISSION:
        text = PERMISSION_TEXT;
        break;
    case PortFailureCause::BUSY:
        text = BUSY_TEXT;
        break;
    case PortFailureCause::GONE:
        text = GONE_TEXT;
        break;
    case PortFailureCause::OTHER:
        text = OTHER_TEXT;
        break;
    }
    // The values go into every language at once; a "##" inside them would split the text.
    const auto clean = [](std::string value) {
        ReplaceAll(value, "##", "# #");
        return value;
    };
    ReplaceAll(text, "{device}", clean(device));
    ReplaceAll(text, "{group}", clean(group));
    ReplaceAll(text, "{detail}", clean(detail.empty() ? std::string("?") : detail));
    return text;
}

std::string PortOpenFailure::Message(int port) const
{
    std::string text = Reason();
    if (text.empty())
        return text;
    // Every variant after the leading "###" begins with the port.
    const std::string prefix = "COM" + std::to_string(port) + ": ";
    std::string variants = text.substr(3);
    ReplaceAll(variants, "##", "##" + prefix);
    return "###" + prefix + variants;
}

std::string PortOpenFailure::Mark() const
{
    switch (cause) {
    case PortFailureCause::NONE:
        return {};
    case PortFailureCause::PERMISSION:
        return "permission denied (group " + group + ")";
    case PortFailureCause::BUSY:
        return "held by another program";
    case PortFailureCause::GONE:
        return "device gone";
    case PortFailureCause::OTHER:
        break;
    }
    return detail.empty() ? "cannot be opened" : detail;
}
