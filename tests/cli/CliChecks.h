// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class ProgramSandbox;

// What a command-line run left behind, checked from outside the program.
namespace CliChecks {

// The saved settings as the program keeps them: every value, defaults first, then the
// overrides ("SR=3;Thumb_Size=0").
QMap<QString, quint32> SettingsWith(const QString& overrides);
QString SettingsFile(const ProgramSandbox& sandbox);
void WriteSettings(const ProgramSandbox& sandbox, const QMap<QString, quint32>& values);
// The dword values of the settings file; empty when there is none.
QMap<QString, quint32> ReadSettings(const ProgramSandbox& sandbox);

// Files under the sandbox, relative to it, outside its own config, data and tmp folders.
QSet<QString> WrittenFiles(const ProgramSandbox& sandbox);
// Working pictures (named by a braced GUID) still in the run's temporary folder.
QStringList WorkingPicturesLeft(const ProgramSandbox& sandbox);

// Browser profile folders (in /tmp or the run's temporary folder) of the run with this pid.
QStringList ProfilesLeftBy(qint64 pid, const ProgramSandbox& sandbox);

// "" when path holds a picture of the format its suffix names and of size "WxH".
QString CheckPicture(const QString& path, const QString& size);
// "" when "file@x,y=colour" holds; negative x or y count from the right or bottom edge.
QString CheckSpot(const QString& folder, const QString& spot);

// The program's own lines on stderr ("vistrel-pro: ..."), without the engine's chatter.
QStringList ProgramLines(const QByteArray& standardError);
// "" when the lines match the patterns one to one: "=text" is compared exactly, anything
// else is a regular expression for the whole line.
QString CheckLines(const QStringList& lines, const QStringList& patterns);

} // namespace CliChecks
