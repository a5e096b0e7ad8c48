// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"
#include "capture/StoredSettings.h"

#include <QStringList>

// The job of an unattended run, built from the saved settings and the switches, and the paths
// and values that were refused on the way (one message each).
struct CommandLineJob {
    CaptureJob job;
    QStringList rejectedPaths;
    // Values that leave the run's meaning open (an engine of no known name).
    QStringList badValues;
    bool addressGiven = false; // a /u switch was there, empty or not
    // Read when the job is prepared: the page script's file and the cookies file.
    QString scriptFile;
    QString cookiesFile;
    bool json = false; // --json: the run's report on stdout
};

// Switches apply in order and the last one wins; numbers are held within their fields' limits.
// Without /u the start address is loaded. The picture is not cropped and the thumbnail neither
// cropped nor framed unless a switch says so; everything else comes from the settings. The
// sandbox is on unless the argument list holds --no-sandbox. A long option's bad value is one
// of badValues. With a scale other than 1 the crop heights and thumbnail sizes, which count
// page pixels, are scaled with the picture.
CommandLineJob BuildCommandLineJob(const StoredSettings& settings, const QStringList& arguments);
