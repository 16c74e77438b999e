#pragma once

#include <cstdint>
#include <dirent.h>
#include <fstream>
#include <set>
#include <string>

// CPU time of single threads of this process (Linux), so that a benchmark can leave out the
// threads of the simulated unit it runs in the same process and report the link's own share.
namespace ThreadCpu {

inline std::set<int> ThreadIds()
{
    std::set<int> ids;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.')
                ids.insert(std::stoi(entry->d_name));
        ::closedir(dir);
    }
    return ids;
}

// Nanoseconds the thread has run (0 once it has ended).
inline double Seconds(int id)
{
    std::ifstream in("/proc/self/task/" + std::to_string(id) + "/schedstat");
    uint64_t ns = 0;
    in >> ns;
    return double(ns) / 1e9;
}

inline double Seconds(const std::set<int>& ids)
{
    double sum = 0;
    for (int id : ids)
        sum += Seconds(id);
    return sum;
}

// The threads that exist now and did not before.
inline std::set<int> NewSince(const std::set<int>& before)
{
    std::set<int> added;
    for (int id : ThreadIds())
        if (!before.count(id))
            added.insert(id);
    return added;
}

} // namespace ThreadCpu
