#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace orvex::bench {

// Runs the registered benchmarks with Google Benchmark's flags. "--quick" stands for one short
// repetition of each: enough for the test suite to see that every case still runs.
inline int RunBenchmarks(int argc, char** argv) {
    static std::string minTime = "--benchmark_min_time=0.001";
    static std::string oneRepetition = "--benchmark_repetitions=1";
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            args.push_back(minTime.data());
            args.push_back(oneRepetition.data());
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace orvex::bench
