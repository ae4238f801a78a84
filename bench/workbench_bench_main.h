// The main() of the workbench benchmarks: a private registry with the component server
// registered in it, COM on the main thread, a QCoreApplication, then `prepare` (servers,
// documents, benchmark registration) and Google Benchmark's run.
#pragma once

#include <functional>

namespace sondar::bench {

int runWorkbenchBenchmarks(int argc, char** argv, const std::function<void()>& prepare);

}  // namespace sondar::bench
