#pragma once

#include "archive/Archive.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A scratch folder with a host file and a crate whose reports are collected in `out`.
class ArchiveFixture : public testing::Test {
protected:
    ArchiveFixture();

    static std::string Bytes(size_t n, char fill);
    static std::string Pattern(size_t n); // compressible, not constant
    static std::string Noise(size_t n, unsigned seed); // incompressible
    static void WriteFile(const std::string& path, const std::string& bytes);
    static std::string ReadFile(const std::string& path);
    static qint64 ModifiedMs(const std::string& path);
    static void SetModifiedMs(const std::string& path, qint64 ms);

    // Runs one command and returns its output (echo + report).
    std::string Run(const std::string& line);
    int code = -1;

    ScopedWorkDir dir;
    std::string host;
    Archive crate;
    std::string out;
};
