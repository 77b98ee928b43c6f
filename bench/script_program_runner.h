// Runs a script program from memory in a fresh interpreter for Google Benchmark: the
// programs of script_programs.cpp and script_shapes.cpp register themselves with
// ZORV_SCRIPT_PROGRAM. A program that ends with an error (such as the 42 of calling the
// missing WrongResult when its own check fails) is reported as failed, not timed.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

void BM_ScriptProgram(benchmark::State& state, const std::string& source);

#define ZORV_SCRIPT_PROGRAM(name, source)                                                          \
    BENCHMARK_CAPTURE(BM_ScriptProgram, name, std::string(source))                                 \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()
