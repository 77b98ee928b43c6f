// A whole run of a packed project that asks for game input: the project is written with the
// settings text a test gives and run on the headless display, optionally driven by input
// steps, and what its script wrote to its results file comes back line by line.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

class GameInputProjectRun : public ::testing::Test {
protected:
    explicit GameInputProjectRun(const char* settings) : settings_(settings) {}
    void SetUp() override;
    void TearDown() override;

    // Runs the script in a project that asks for game input with the settings, starting game
    // type `defaultType` by itself when `autoStart`; the lines it wrote to `out`.
    std::vector<std::string> Run(const std::string& body, uint16_t autoStart, uint32_t defaultType,
                                 const std::string& steps = "");

    test_support::TempDir folder_;

private:
    const char* settings_;
};

// Waits (a bounded while) until the expression is not 0.
std::string WaitFor(const std::string& expression);
