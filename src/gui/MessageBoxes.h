// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Error reports and confirmations as modal boxes captioned "Vistrel Pro", where somebody can
// answer them.
void UseMessageBoxes();
