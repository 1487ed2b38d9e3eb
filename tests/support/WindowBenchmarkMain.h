#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace KelvoTest {

// The benchmarks that draw time their work in this thread's CPU time: the
// machine they run on is shared, and the wall clock would count the others'
// work too (and the renderer's own threads).
inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// The main of a benchmark that draws: the engine needs an X display, so
// without one the program starts itself again under xvfb-run at the game's
// window size (once: a second start without a display gives up). The engine
// is set up around all the benchmarks, not inside the timings.
inline int runWindowBenchmarks(int argc, char** argv, const char* name, void (*startEngine)(),
                               void (*stopEngine)())
{
    if (!std::getenv("DISPLAY")) {
        if (std::getenv("KELVO_BENCH_UNDER_XVFB")) {
            std::fprintf(stderr, "%s: no display even under xvfb-run\n", name);
            return 1;
        }
        setenv("KELVO_BENCH_UNDER_XVFB", "1", 1);
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                   const_cast<char*>("-s"), const_cast<char*>("-screen 0 1024x768x24")};
        for (int i = 0; i < argc; ++i) {
            args.push_back(argv[i]);
        }
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        std::perror((std::string(name) + ": xvfb-run").c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    startEngine();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stopEngine();
    return 0;
}

} // namespace KelvoTest
