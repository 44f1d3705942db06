#pragma once

#include "programmer/prompt.h"
#include "shell/file_dialogs.h"
#include "shell/programmer_launcher.h"

#include <QList>
#include <QStringList>

// Stand-ins for the user and the programmer, so the main window's commands
// run without modal windows.

struct ShownMessage {
    vrs::Prompt::Kind kind;
    QString caption;
    QString text;
};

class ScriptedPrompt : public vrs::Prompt {
public:
    bool Ask(const QString &, const QString &text) override
    {
        questions << text;
        return answer;
    }
    void Show(Kind kind, const QString &caption, const QString &text) override
    {
        shown.append({kind, caption, text});
    }

    bool answer = true;
    QStringList questions;
    QList<ShownMessage> shown;
};

class ScriptedFileDialogs : public vrs::FileDialogs {
public:
    QString OpenConfigName(QWidget *) override { return openName; }
    QString SaveConfigName(QWidget *) override { return saveName; }

    QString openName;
    QString saveName;
};

struct LauncherCall {
    vrs::DeviceType type;
    vrs::ProgrammerMode mode;
    QByteArray json;
};

class RecordingLauncher : public vrs::ProgrammerLauncher {
public:
    std::optional<QByteArray> Run(vrs::DeviceType type, vrs::ProgrammerMode mode,
                                  const QByteArray &compactJson) override
    {
        calls.append({type, mode, compactJson});
        return answer;
    }

    std::optional<QByteArray> answer;
    QList<LauncherCall> calls;
};
