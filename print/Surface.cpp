#include "print/Surface.h"

#include <utility>

namespace sbk3 {

void ProblemSurface::printLine(std::string text) {
    m_picture.lines.push_back({std::move(text), m_bold, m_underline});
}

} // namespace sbk3
