#pragma once

#include <string>

namespace sbk3 {

// A stored worksheet as a list shows it: the number boxes offer these while the user types.
struct ListedWorksheet {
    std::string number;
    std::string title;

    bool operator==(const ListedWorksheet&) const = default;
};

} // namespace sbk3
