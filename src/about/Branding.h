#pragma once

// The maker's data shown in the About box and the host of the user manuals. These are deployment
// data: a shipping build sets them with the CMake cache variables VORDAX4_MAKER_* and VORDAX4_WEB_HOST.
struct Branding {
    const char* company;
    const char* street;
    const char* town;
    const char* country;
    const char* email;
    const char* web;
    const char* webHost; // scheme and host of the manual addresses, without a trailing slash
};

const Branding& ProgramBranding();

// The address of the user manual for a language (0 English, 1 German, 2 Czech).
const char* ManualPath(int language);
