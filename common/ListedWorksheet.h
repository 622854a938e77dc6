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
    // A version of a class set made at once: the set's key (its first version's number) and
    // the version's place in it; empty and 0 for a worksheet of its own.
    std::string setKey{};
    int setPlace = 0;

    bool operator==(const ListedWorksheet&) const = default;
};

} // namespace sbk3
