// Google Benchmark's start-up with defaults of the program's own, which the command line can
// override (a later flag wins).
#pragma once

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>
#include <vector>

// Initializes the library with `defaults` before the program's own arguments; false when an
// argument was not understood (it has then been reported).
inline bool initializeBenchmarks(int argc, char** argv, std::initializer_list<const char*> defaults) {
    std::vector<std::string> texts(defaults.begin(), defaults.end());
    std::vector<char*> args{argv[0]};
    for (std::string& text : texts) args.push_back(text.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    return !benchmark::ReportUnrecognizedArguments(count, args.data());
}
