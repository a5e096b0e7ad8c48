// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's start-up sequence; returns the process exit status.
int RunVistrelPro(int argc, char** argv);
