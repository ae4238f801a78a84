#include "bench/workbench_bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>

#include <QCoreApplication>

#include "platform/com/activation.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"

namespace sondar::bench {

int runWorkbenchBenchmarks(int argc, char** argv, const std::function<void()>& prepare) {
    // Before anything reads the registry: registration writes into this private one only.
    nv::test::RegistrySandbox registry;
    QCoreApplication app(argc, argv);
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) ||
        !sondar::test::registerComponentServer()) {
        std::fprintf(stderr, "the component server could not be registered\n");
        return 1;
    }
    prepare();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CoUninitialize();
    return 0;
}

}  // namespace sondar::bench
