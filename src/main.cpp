// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

int main(int argc, char** argv) {
    return RunVistrelPro(argc, argv);
}
