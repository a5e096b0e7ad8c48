// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineUnderTest.h"

#include "engines/chromium/ChromiumBrowser.h"
#include "engines/webengine/WebEngineBrowser.h"

#include <algorithm>

namespace EngineUnderTest {

std::string Take(std::vector<char*>& arguments) {
    const auto named = std::find(arguments.begin(), arguments.end(), std::string("-engine"));
    if (named == arguments.end() || named + 1 == arguments.end())
        return "qt";
    const std::string engine = *(named + 1);
    arguments.erase(named, named + 2);
    return engine;
}

Browser* NewBrowser(const std::string& engine, QWidget* host) {
    if (engine == "chromium")
        return new ChromiumBrowser(nullptr, host);
    auto* browser = new WebEngineBrowser(host);
    browser->View()->setParent(host);
    return browser;
}

} // namespace EngineUnderTest
