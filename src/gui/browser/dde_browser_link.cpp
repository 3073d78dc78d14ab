#include "gui/browser/dde_browser_link.h"

#include "gui/browser/dde_object.h"

namespace tessaline {

void DdeBrowserLink::OpenURL(const std::string& address, bool newWindow) {
    MakeLastingDdeObject(kBrowserDdeService).OpenURL(address, newWindow);
}

void DdeBrowserLink::GetWindowInfo(std::string& address, std::string& title) {
    MakeLastingDdeObject(kBrowserDdeService).GetWindowInfo(kLastActiveWindow, address, title);
}

}  // namespace tessaline
