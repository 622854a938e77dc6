// Arbitrary bytes as a worksheet file: the reader either returns a worksheet that keeps its
// own promises or fails with one of its numbered errors; it never crashes or reads out of bounds.
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const sbk3::SavedWorksheet sheet = sbk3::parseWorksheet(bytes);
        const std::size_t expected = sheet.count > 0 ? static_cast<std::size_t>(sheet.count) : 0;
        if (sheet.problems.size() != expected || expected > sbk3::kMaxProblems)
            std::abort();
    } catch (const sbk3::RuntimeError& error) {
        switch (error.number()) {
        case 6:
        case 9:
        case 13:
        case 62:
            break;
        default:
            std::abort();
        }
    }
    return 0;
}
