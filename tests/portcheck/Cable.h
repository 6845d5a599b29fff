// A cable for the tests, given by how each input's level comes from the
// output levels, and what the inputs read through it over the test patterns.
#pragma once

#include <functional>
#include <vector>

#include "LoopbackVerdict.h"

inline std::vector<portcheck::Observation> Through(
    const std::function<portcheck::Levels(portcheck::Levels)>& cable) {
    std::vector<portcheck::Observation> observations;
    portcheck::Levels before = 0;  // the patterns start from all low
    for (portcheck::Levels outputs : portcheck::TestPatterns()) {
        observations.push_back({outputs, cable(outputs), 0, before});
        before = outputs;
    }
    return observations;
}
