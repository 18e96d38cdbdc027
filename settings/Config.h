#pragma once

#include <QString>
#include <cstdint>

// The one settings record, in the order of its fields in the settings file's
// description; it also carries the open batch's panel and schedule state.
struct TConfig {
    QString Version;
    int32_t VersionNumber = 400;
    bool Modified = false;
    bool FirstRun = true;
    bool Filling = false;
    int32_t InstallDate = 0;
    QString VelloranExeLocation;
    QString DefaultWorkingDir;
    int32_t Count = 0;
    bool ShowSplash = true;
    bool ShowProgress = true;
    bool ShowMess = true;
    bool Small = true;
    int32_t Left = 60;
    int32_t Top = 60;
    int32_t Width = 1119;
    int32_t Height = 698;
    int32_t ProgressLeft = -1;
    int32_t ProgressTop = -1;
    bool Maximized = false;
    bool Scheduled = false;
    int32_t ScheduleKind = 1;
    int32_t ScheduleKindLastUsed = 1;
    int32_t ScheduleMinutes = 60;
    int32_t ScheduleMinutesLastUsed = 60;
    double ScheduleStartDate = 0;
    double ScheduleStartTime = 0;
    QString ScheduleTaskName;
    QString ScheduleTag;
    QString ScheduleToken;
    double ScheduleNextRun = 0;
    double ScheduleLastRun = 0;
    int32_t ScheduleLastResult = 0;
    QString ScheduleDescription;
    bool ScheduleOnlyLoggedOn = false;
    QString ScheduleUser;
    QString SchedulePassword; // never written to any file
};

extern TConfig Config;
