#pragma once
// The browser's DDE service as the browser commands use it: each call makes a new
// CDDEObject for "IExplore" that stays registered for the rest of the process.

#include "core/browser/browser_interfaces.h"

namespace tessaline {

inline constexpr const char* kBrowserDdeService = "IExplore";

class DdeBrowserLink : public IDdeBrowser {
public:
    void OpenURL(const std::string& address, bool newWindow) override;
    void GetWindowInfo(std::string& address, std::string& title) override;
};

}  // namespace tessaline
