// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// The desktop entry that offers the program in the desktop's "Open With" menus for web pages
// and links, with its icon, under $XDG_DATA_HOME. It never makes the program a default
// handler: only the entry's MimeType line is written, never mimeapps.list.
class DesktopEntry {
public:
    // programPath: absolute path of the executable the entry starts.
    explicit DesktopEntry(const QString& programPath);

    // The program is one folder up from the tools' own dll/ folder.
    static QString ProgramBesideTools();
    static QString DataHome();
    static QImage DefaultIcon();

    QString EntryPath() const;
    QString IconPath() const;
    QString Text() const;

    void Install(const QImage& icon) const;
    void Remove() const;
    // Refreshes the desktop's MIME cache when its tool is on PATH. Returns a warning, or an
    // empty text when it went well or there is no such tool (the cache is only an index).
    QString RefreshDatabase() const;

private:
    QString ApplicationsFolder() const;
    QString ExecLine() const;
    void RemoveFolderIfEmpty(const QString& folder) const;

    QString FProgramPath;
    QString FDataHome;
};
