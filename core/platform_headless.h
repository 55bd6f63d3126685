// platform_headless.h - what the headless seam keeps for its callers.
//
// In the headless build a list box is a HeadlessListbox; pass its address
// wherever a list-box handle is expected. Message boxes without a hook are
// printed to stderr as "ERROR: <text>" (caption ERROR) or "<caption>: <text>"
// and answered with the first button (OK or Yes).
#pragma once

#include <string>
#include <vector>

struct HeadlessListbox {
    std::vector<std::string> lines;
};
