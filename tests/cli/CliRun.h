#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <string>

// What a run of the real vordax4-cli executable left behind, as a script would see it.
struct CliRun {
    int code = -1; // -1: it crashed or did not end in time
    std::string out;
    std::string err;
};

// The environment of a script on a machine without a display: no DISPLAY, no platform chosen.
inline QProcessEnvironment WithoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
}

// prepare, when given, sets the process up further before it starts (its folder, its user).
inline CliRun RunProgram(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
    const std::function<void(QProcess&)>& prepare = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (prepare)
        prepare(p);
    p.start(VORDAX4_CLI, args);
    CliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}
