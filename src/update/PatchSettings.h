#pragma once

#include <string>

// The settings the update check uses; the main window owns them and keeps them with its others.
struct PatchSettings {
    // The update number the user chose not to be reminded of (0: none).
    int declinedUpdateNumber = 0;
    // The update information address; empty means the build's default.
    std::string address;
};

// The address built into the program (CMake option VORDAX4_UPDATE_ADDRESS).
std::string DefaultUpdateAddress();

// The address to fetch for a setting: the default when empty; an address without a scheme is an
// https:// one, an address without a path gets the document's path "/old/patch.xml".
std::string UpdateAddress(const std::string& setting);
