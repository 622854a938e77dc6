// Arbitrary text in the count box: reading it, the checks, the count code and the number of
// problems never crash, and an accepted count always gives 1 to 300 problems.
#include "worksheet/Request.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double count = sbk3::CountValue(text);
    for (const bool easy : {true, false}) {
        sbk3::CountCode(count, ",");
        if (sbk3::CheckRequest(count, easy))
            continue;
        const int problems = sbk3::NumberOfProblems(count);
        if (problems < 1 || problems > (easy ? 80 : 300))
            std::abort();
    }
    return 0;
}
