#pragma once

#include "support/TempFolder.h"
#include "worksheet/Random.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace sbk3::test {

// Draws from a script, counting reseeds and draws; repeats the script when it runs out.
class ScriptedRandom : public RandomPort {
public:
    explicit ScriptedRandom(std::vector<float> script = {0.5f}) : m_script(std::move(script)) {
        if (m_script.empty())
            throw std::invalid_argument("empty script");
    }

    int reseeds = 0;
    int draws = 0;

    void rtcRandomize() override { ++reseeds; }
    float rtcRandomNext() override {
        const float r = m_script[static_cast<std::size_t>(draws) % m_script.size()];
        ++draws;
        return r;
    }

private:
    std::vector<float> m_script;
};

// Fills the stem's numbers in folder with taken files ("x"), all but every 25th (40 left free),
// and gives the draws that name exactly the free ones, in order.
inline std::vector<float> fillStemButEvery25th(const std::filesystem::path& folder,
                                               const std::string& stem) {
    std::vector<float> free;
    for (int part = 0; part < 1000; ++part) {
        if (part % 25 == 0) {
            free.push_back((static_cast<float>(part) + 0.5f) / 1000.0f);
            continue;
        }
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", part);
        writeBytes(folder / (stem + digits), "x");
    }
    return free;
}

} // namespace sbk3::test
