#pragma once

#include <QString>
#include <QStringList>

// The eleven job commands, in the order of the editor's command picker.
enum class TJobCommand {
    RunVelloran,
    Run,
    Copy,
    Rename,
    MakeDir,
    Delete,
    DelTree,
    EndProcess,
    KillProcess,
    TextToClipboard,
    Remark,
};

constexpr int JobCommandCount = 11;

// Display name, also the job table's first column ("Run Velloran", "Run", ...);
// empty for a value that names no command.
QString CommandName(TJobCommand command);
// Exact comparison with the display names; false when the text names no command.
bool CommandFromName(const QString &name, TJobCommand *command);
QStringList CommandNames();

// Remark rows drawn with colour 0 use this light green (0x00BBGGRR: CCFFCC).
constexpr int DefaultRemarkColor = 13434828;

inline const QString VelloranFileName = QStringLiteral("Velloran");
inline const QString SetByVelloran = QStringLiteral("Set by Velloran");
inline const QString LastLoggedInInstance = QStringLiteral("Velloran as last logged in");
inline const QString NewItemFileName = QStringLiteral("New Item");
inline const QString NewRemarkText = QStringLiteral("Enter freeform text remark here.");
inline const QString NormalPriority = QStringLiteral("Normal");

// One job. All fields but Enabled, Command and Color are texts, read by the rules below.
struct TBatchJob {
    bool Enabled = true;
    TJobCommand Command = TJobCommand::Run;
    QString FileName;
    QString WorkingDir;
    QString Parameter;
    QString Priority;
    QString Max;
    QString Min;
    QString Delay;
    QString Wait;
    QString Instance;
    int Color = 0;

    bool operator==(const TBatchJob &o) const;
    bool operator!=(const TBatchJob &o) const { return !(*this == o); }
};

// A flag text is on exactly when it is "X".
inline bool FlagOn(const QString &text) { return text == QLatin1String("X"); }
// A decimal whole number; anything else counts as 0.
int NumberOrZero(const QString &text);
inline int JobDelayMs(const TBatchJob &job) { return NumberOrZero(job.Delay); }
inline int RemarkColor(const TBatchJob &job) { return job.Color == 0 ? DefaultRemarkColor : job.Color; }

// The job table's column texts 1 to 9 (FileName .. Instance); sub-item 0 is FileName.
QString JobSubItem(const TBatchJob &job, int subItem);
void SetJobSubItem(TBatchJob &job, int subItem, const QString &text);
constexpr int JobSubItemCount = 9;
