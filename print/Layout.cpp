#include "print/Layout.h"

namespace sbk3 {
namespace {

void fillGrid(PositionTable& table, int rows, int columns, int pitchX, int firstX, int pitchY) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            table(columns * r + c + 1) = {static_cast<float>(pitchX * c + firstX),
                                          static_cast<float>(pitchY * r + 4)};
}

} // namespace

void LayoutCompact(PositionTable& ProblemPos) {
    fillGrid(ProblemPos, 15, 20, 5, 1, 4);
}

void LayoutEasy(PositionTable& ProblemPos) {
    fillGrid(ProblemPos, 8, 10, 10, 3, 8);
}

} // namespace sbk3
