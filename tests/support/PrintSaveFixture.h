#pragma once

#include "common/SheetState.h"
#include "support/FakeDialogs.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "worksheet/PrintSave.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>

namespace sbk3::test {

// Print/Save's tests on every system (PrintSaveTest.cpp) and those that need a POSIX system
// (PrintSavePosixTest.cpp) share this.
inline const char* kPromptStart = "Do you want to print worksheet number ";
inline const char* kPromptEnd =
    " right now? Please keep note of this number in case you lose the copy "
    "you printed or if you want to print it later.";

class PrintSaveTest : public ::testing::Test {
protected:
    RequestControls controls{"5", true, "Addition", "Drill (N)"};
    SheetState state;
    FakeDialogs dialogs;
    ScriptedRandom random{{0.0425f, 0.95f, 0.15f}};
    test::TempFolder folder;
    int printSavedRuns = 0;
    bool flagWhenPrintSavedRan = false;

    void run(const std::filesystem::path& where) {
        PrintSave(controls, state, {dialogs, random, where, ".", [this] {
                                        ++printSavedRuns;
                                        flagWhenPrintSavedRan = state.PrintNewSheet;
                                        state.PrintNewSheet = false;
                                    }});
    }
    void run() { run(folder.path()); }

    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()));
    }
};

// A random port that lets a test act between the lines Print/Save writes.
class RandomWithHook : public RandomPort {
public:
    RandomWithHook(std::vector<float> script, int atDraw, std::function<void()> hook)
        : m_inner(std::move(script)), m_atDraw(atDraw), m_hook(std::move(hook)) {}
    void rtcRandomize() override { m_inner.rtcRandomize(); }
    float rtcRandomNext() override {
        if (m_inner.draws == m_atDraw)
            m_hook();
        return m_inner.rtcRandomNext();
    }

private:
    ScriptedRandom m_inner;
    int m_atDraw;
    std::function<void()> m_hook;
};

} // namespace sbk3::test
