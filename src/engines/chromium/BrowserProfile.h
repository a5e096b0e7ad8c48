// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

// The profile folder of one browser process: made private in a temporary folder, removed with
// this object, and marked with the process id of the run that owns it, so that the folder of a
// run killed outright is found and removed by a later run of the same user.
class BrowserProfile {
public:
    // `parent` is the temporary folder to make it in.
    explicit BrowserProfile(const QString& parent);

    bool IsValid() const { return FFolder.isValid() && FMarked; }
    QString Path() const { return FFolder.path(); }

    // Removes the profile folders in `parent` that this user's runs left behind: their run has
    // ended and they are more than a minute old. Returns how many were removed.
    static int RemoveLeftovers(const QString& parent);

    static constexpr const char* OwnerFileName = "vistrel-owner.pid";

private:
    QTemporaryDir FFolder;
    bool FMarked = false;
};
