#pragma once

#include <string>

namespace sbk3 {

// A stored worksheet as a list shows it: the number boxes offer these while the user types.
struct ListedWorksheet {
    std::string number;
    std::string title;
    // Fewer problem lines than its header says: cut off by a crash or a full disk. Listed after
    // the whole ones and marked; nothing deletes it.
    bool incomplete = false;

    bool operator==(const ListedWorksheet&) const = default;
};

} // namespace sbk3
