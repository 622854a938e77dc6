#pragma once

#include <cstdint>
#include <string>

namespace sbk3 {

// A stored worksheet as the lists show it: the worksheet library and the number boxes.
struct ListedWorksheet {
    std::string number;
    std::string title;
    // Fewer problem lines than its header says: cut off by a crash or a full disk. Listed after
    // the whole ones and marked; nothing deletes it.
    bool incomplete = false;
    int count = 0;           // the problems its header states
    std::int64_t madeAt = 0; // the file's last write, in seconds since 1970 (UTC)

    bool operator==(const ListedWorksheet&) const = default;
};

} // namespace sbk3
