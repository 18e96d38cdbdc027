#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the real program. HOME and the XDG folders are already the test's own
// (the test runner sets them); the registry folder names a stand-in companion.
struct TarnwickRun {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

inline QString TarnwickBinary() { return qEnvironmentVariable("TW_BINARY_DIR") + "/app/tarnwick"; }

// Writes a registry folder whose facts name `companionDir` + "Velloran.exe"
// (a stand-in script made there when `makeCompanion`) with the given version.
inline QString WriteRegistryFolder(const QString &folder, const QString &version,
                                   const QString &companionDir, bool makeCompanion = true) {
    QDir().mkpath(folder);
    QDir().mkpath(companionDir);
    if (makeCompanion) {
        QFile exe(companionDir + "/Velloran.exe");
        exe.open(QIODevice::WriteOnly);
        exe.write("#!/bin/sh\nexit 0\n");
        exe.close();
        exe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    QString loc = companionDir.endsWith('/') ? companionDir : companionDir + "/";
    QFile reg(folder + "/velloran.reg");
    reg.open(QIODevice::WriteOnly);
    reg.write(QString("Windows Registry Editor Version 5.00\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Velloran\\Globals]\r\n"
                      "\"previousToolVersion\"=\"%1\"\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                      "{7A1D3E52-0C9B-4F6E-B2A8-5D4E61C3F907}]\r\n"
                      "\"InstallLocation\"=\"%2\"\r\n")
                  .arg(version, loc)
                  .toUtf8());
    return folder;
}

inline TarnwickRun RunTarnwick(const QStringList &args, const QProcessEnvironment &env,
                               int timeoutMs = 60000, const QString &workDir = QString()) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(TarnwickBinary(), args);
    TarnwickRun r;
    if (!p.waitForStarted(10000))
        return r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
