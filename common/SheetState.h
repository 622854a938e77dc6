#pragma once

#include <string>

namespace sbk3 {

// The main window's hand-over between Print/Save and Print Saved.
struct SheetState {
    std::string SheetCode;
    bool PrintNewSheet = false;
};

} // namespace sbk3
