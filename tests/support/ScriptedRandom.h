#pragma once

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

} // namespace sbk3::test
