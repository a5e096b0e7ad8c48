// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class Browser;
class QWidget;

// The engine a test binary checks: "qt" unless its arguments say "-engine chromium".
namespace EngineUnderTest {

// Takes "-engine NAME" out of the arguments and returns NAME ("qt" when it is not there).
std::string Take(std::vector<char*>& arguments);

// A browser of that engine inside `host`, which owns it.
Browser* NewBrowser(const std::string& engine, QWidget* host);

} // namespace EngineUnderTest
