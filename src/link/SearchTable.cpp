#include "link/SearchTable.h"

#include "link/ProtocolTable.h"

SearchTable::SearchTable()
    : rows_ { {
        { FAMILY, 57600, 175 },
        { PROTOCOL_WCOM, 57600, 75 },
        { PROTOCOL_WCOMS, 57600, 125 },
        { FAMILY, 57600, 175 },
        { PROTOCOL_IGN50, 57600, 125 },
        { FAMILY, 57600, 175 },
        { PROTOCOL_IGN100, 57600, 175 },
        { FAMILY, 57600, 175 },
        { PROTOCOL_IGN150, 57600, 175 },
        { FAMILY, 57600, 175 },
        { PROTOCOL_WCOM, 115200, 75 },
        { PROTOCOL_WCOMS, 115200, 325 },
        { FAMILY, 57600, 175 },
        { PROTOCOL_IGN300, 115200, 175 },
        { 0, 0, 0 },
    } }
{
    for (size_t i = 0; i < rows_.size(); ++i)
        family_[i] = rows_[i].protocol == FAMILY;
}

void SearchTable::FillFamilyRows(const SearchRow& family)
{
    for (size_t i = 0; i < rows_.size(); ++i)
        if (family_[i])
            rows_[i] = family;
}

void SearchTable::KeepOnly(const SearchRow& row)
{
    rows_.fill({ 0, 0, 0 });
    family_.fill(false);
    rows_[0] = row;
}

int SearchTable::Find(int32_t protocol, uint32_t baud) const
{
    for (int i = 0; !IsEnd(i); ++i)
        if (rows_[static_cast<size_t>(i)].protocol == protocol && rows_[static_cast<size_t>(i)].baud == baud)
            return i;
    return -1;
}
