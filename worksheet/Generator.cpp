#include "worksheet/Generator.h"

#include "common/ProblemKinds.h"
#include "store/WorksheetFile.h"

namespace sbk3 {

std::optional<std::string> MakeProblemLine(std::string_view typeName, RandomPort& random) {
    const ProblemTypeInfo* type = findProblemType(typeName);
    if (!type)
        return std::nullopt;
    const DrawnProblem problem = type->rule(random);
    return problemLine(problem.first, problem.second, problem.op->text, problem.quoted);
}

void WriteProblem(std::string_view typeName, WorksheetAppender& file, RandomPort& random) {
    if (const std::optional<std::string> line = MakeProblemLine(typeName, random))
        file.writeLine(*line);
}

} // namespace sbk3
