#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sbk3 {

class RandomPort;
class WorksheetAppender;

// One problem line drawn by the rule of the type; nothing, and no draw, for an unknown type.
std::optional<std::string> MakeProblemLine(std::string_view typeName, RandomPort& random);

// Draws one problem and appends its line to the open worksheet file.
void WriteProblem(std::string_view typeName, WorksheetAppender& file, RandomPort& random);

} // namespace sbk3
