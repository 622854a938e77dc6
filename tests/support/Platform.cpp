#include "support/Platform.h"

namespace sbk3::test {

bool namesDifferByCase(const std::filesystem::path& folder) {
    const auto probe = folder / ".case-probe";
    std::filesystem::create_directory(probe);
    std::error_code ec;
    const bool differ = !std::filesystem::exists(folder / ".CASE-PROBE", ec);
    std::filesystem::remove(probe, ec);
    return differ;
}

} // namespace sbk3::test
