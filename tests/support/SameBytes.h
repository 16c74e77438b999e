#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

// Compares two byte containers and, when they differ, names the offsets and both values of the
// first differences: a 400-byte dump of each side hides which setting went wrong.
template <typename A, typename B>
testing::AssertionResult SameBytes(const A& actual, const B& expected)
{
    if (actual.size() != expected.size())
        return testing::AssertionFailure() << "sizes differ: " << actual.size() << " vs " << expected.size();
    std::string differences;
    size_t count = 0;
    for (size_t i = 0; i < actual.size(); ++i) {
        if (static_cast<unsigned char>(actual[i]) == static_cast<unsigned char>(expected[i]))
            continue;
        if (++count <= 16) {
            char line[64];
            std::snprintf(line, sizeof line, " [%zu] %u vs %u", i, static_cast<unsigned>(static_cast<unsigned char>(actual[i])),
                static_cast<unsigned>(static_cast<unsigned char>(expected[i])));
            differences += line;
        }
    }
    if (count == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << count << " bytes differ (offset actual vs expected):" << differences;
}
