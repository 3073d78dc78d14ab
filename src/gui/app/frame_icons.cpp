#include "gui/app/frame_icons.h"

#include <QtGlobal>

// The resource file is linked from a static library, so it has to be registered by hand.
static void InitTessalineResource() {
    Q_INIT_RESOURCE(tessaline);
}

namespace tessaline {

std::string ToolbarIconPath(std::string_view name) {
    return ":/icons/" + std::string(name) + ".svg";
}

void InitFrameResources() {
    static const bool done = [] {
        InitTessalineResource();
        return true;
    }();
    (void)done;
}

}  // namespace tessaline
