#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// Seconds of one whole run of vordax4-cli (VORDAX4_BENCH_CLI names another build of it to compare),
// with a settings folder of its own; negative when it failed or took longer than limitMs.
inline double TimeCliRun(const QStringList& args, int limitMs = 120000)
{
    QTemporaryDir settings;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VORDAX4_SETTINGS_DIR", settings.path());
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(qEnvironmentVariable("VORDAX4_BENCH_CLI", VORDAX4_CLI), args);
    if (!p.waitForFinished(limitMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return t.elapsed() / 1000.0;
}
