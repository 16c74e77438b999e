#pragma once

#include <array>

// Settings pages, which double as the groups of fields for defaults and file loads.
enum PageIndex : int {
    PAGE_ALL = -1,
    PAGE_MISC = 0,
    PAGE_BIKE = 1,
    PAGE_SENSORS = 2,
    PAGE_ADVANCE = 3,
    PAGE_POWER_OUT = 4,
    PAGE_SERVO = 5,
    PAGE_GEAR = 6,
    PAGE_RACE = 7,
    PAGE_N2O = 8,
    PAGE_TEST = 9,
    PAGE_COUNT = 10
};

// The flags F0..F9: which page's fields a reset or a file load touches. The sensor calibrations
// (F2) live on the Miscellaneous page and always follow F0.
class LoadGroups {
public:
    explicit LoadGroups(int group = PAGE_ALL)
    {
        for (int k = 0; k < PAGE_COUNT; ++k)
            flags_[k] = group == PAGE_ALL || group == k;
        flags_[PAGE_SENSORS] = flags_[PAGE_MISC];
    }
    static LoadGroups All() { return LoadGroups(PAGE_ALL); }

    bool operator[](int k) const { return k >= 0 && k < PAGE_COUNT && flags_[k]; }

private:
    std::array<bool, PAGE_COUNT> flags_{};
};
