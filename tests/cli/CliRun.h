#pragma once

#include <QProcess>
#include <QStringList>

#include <string>

// What a run of the real vordax4-cli executable left behind, as a script would see it.
struct CliRun {
    int code = -1; // -1: it crashed or did not end in time
    std::string out;
    std::string err;
};

inline CliRun RunProgram(const QStringList& args)
{
    QProcess p;
    p.start(VORDAX4_CLI, args);
    CliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}
