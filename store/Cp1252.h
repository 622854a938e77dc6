#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sbk3 {

// UTF-8 text as Windows-1252 bytes; nothing when a character has no byte there.
std::optional<std::string> utf8ToCp1252(std::string_view utf8);

// Windows-1252 bytes as UTF-8. The five unassigned bytes map to the C1 controls of the same
// value, as Windows itself reads them.
std::string cp1252ToUtf8(std::string_view bytes);

// Valid UTF-8 stays as it is; each byte of a broken sequence becomes U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

} // namespace sbk3
