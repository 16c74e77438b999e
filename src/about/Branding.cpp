#include "about/Branding.h"

#ifndef VORDAX4_MAKER_COMPANY
#define VORDAX4_MAKER_COMPANY "Motravex"
#endif
#ifndef VORDAX4_MAKER_STREET
#define VORDAX4_MAKER_STREET ""
#endif
#ifndef VORDAX4_MAKER_TOWN
#define VORDAX4_MAKER_TOWN ""
#endif
#ifndef VORDAX4_MAKER_COUNTRY
#define VORDAX4_MAKER_COUNTRY ""
#endif
#ifndef VORDAX4_MAKER_EMAIL
#define VORDAX4_MAKER_EMAIL ""
#endif
#ifndef VORDAX4_MAKER_WEB
#define VORDAX4_MAKER_WEB ""
#endif
#ifndef VORDAX4_WEB_HOST
#define VORDAX4_WEB_HOST "https://www.motravex.example"
#endif

const Branding& ProgramBranding()
{
    static const Branding b{VORDAX4_MAKER_COMPANY, VORDAX4_MAKER_STREET, VORDAX4_MAKER_TOWN, VORDAX4_MAKER_COUNTRY,
        VORDAX4_MAKER_EMAIL, VORDAX4_MAKER_WEB, VORDAX4_WEB_HOST};
    return b;
}

const char* ManualPath(int language)
{
    return language == 2 ? "/cz/vyrobky/vordax4/manual_flinter_vordax4_v93_cz.pdf"
                         : "/en/vyrobky/vordax4/manual_flinter_vordax4_v93_en.pdf";
}
