// The workbench's files at scale:
//   BM_WorkspaceSave/vboxweb   a workspace of the largest corpus document's whole tree
//                              (every operation, every record): encode, compress, write
//   BM_WorkspaceOpen/vboxweb   reading it back: inflate, decode, reconnect the engine (an HTTP
//                              load of the document), recreate every record, rebuild the tree
//   BM_RestoreArray/1000       restoring an input file whose array holds 1,000 elements into a
//                              fresh tree showing one
// Counters: records, file bytes, the process's peak resident memory so far (MB).
#include <benchmark/benchmark.h>

#include <sys/resource.h>


#include <QFile>
#include <QFileInfo>

#include "bench/bench_support.h"
#include "bench/workbench_bench_main.h"
#include "tests/support/temp_dir.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"
#include "workbench/core/batch/batch_seams.h"
#include "workbench/core/files/input_values_file.h"
#include "workbench/core/seams/clock.h"
#include "workbench/core/session/main_view.h"
#include "workbench/core/session/workbench_core.h"

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Answers every file dialog with one path.
class OnePath final : public sondar::FileDialogSeam {
  public:
    explicit OnePath(QString path) : path_(std::move(path)) {}
    QString getOpenFileName(const QString&, const QString&, const QString&) override {
        return path_;
    }
    QString getSaveFileName(const QString&, const QString&, const QString&) override {
        return path_;
    }

  private:
    QString path_;
};

// A core as the program has it, on the headless seams.
struct Workbench {
    sondar::HeadlessMainView view;
    sondar::BatchMessages messages;
    sondar::BatchStatus status;
    sondar::NoCredentials credentials;
    sondar::SystemClock clock;
    OnePath files;
    sondar::WorkbenchCore core;

    explicit Workbench(const QString& path)
        : files(path),
          core(sondar::WorkbenchSeams{view, messages, status, credentials, clock, &files}) {}

    bool analyze(const QString& url) {
        view.setLocationText(url);
        return core.analyzer().analyze();
    }
};

nv::bench::DocumentServer& documents() {
    static nv::bench::DocumentServer server;
    return server;
}

nv::test::TempDir& folder() {
    static nv::test::TempDir dir("sondar-workspace-bench");
    return dir;
}

qint64 fileSize(const QString& path) {
    return QFileInfo(path).size();
}

void BM_WorkspaceSave(benchmark::State& state) {
    const QString path = QString::fromStdString(folder().file("vboxweb.nws"));
    Workbench bench(path);
    if (!bench.analyze(QString::fromStdString(documents().url("/corpus/vboxweb/vboxweb.wsdl")))) {
        state.SkipWithError("vboxweb did not load");
        return;
    }
    for (auto _ : state)
        if (!bench.core.workspaceFiles().saveWorkspace())
            state.SkipWithError("the workspace was not saved");
    state.counters["records"] = bench.core.tree().count();
    state.counters["file_bytes"] = static_cast<double>(fileSize(path));
    state.counters["peak_mb"] = peakMegabytes();
}

void BM_WorkspaceOpen(benchmark::State& state) {
    const QString path = QString::fromStdString(folder().file("vboxweb.nws"));
    Workbench bench(path);
    if (!QFile::exists(path)) {
        state.SkipWithError("run BM_WorkspaceSave first");
        return;
    }
    for (auto _ : state)
        if (!bench.core.workspaceFiles().openWorkspace(path))
            state.SkipWithError("the workspace did not open");
    state.counters["nodes"] = bench.core.tree().count();
    state.counters["peak_mb"] = peakMegabytes();
}

void BM_RestoreArray(benchmark::State& state) {
    static sondar::test::WsdlDocuments orders;
    const int elements = static_cast<int>(state.range(0));
    const QString path = QString::fromStdString(folder().file("lines.xml"));
    Workbench bench(path);
    const QString url = QString::fromStdString(orders.url("/orders.wsdl"));
    if (!bench.analyze(url)) {
        state.SkipWithError("orders did not load");
        return;
    }
    // The file: the array grown to `elements` in the tree, then saved.
    sondar::TNVTreeNode* op = bench.core.tree().root()->child(0);
    sondar::TNVTreeNode* lines = nullptr;
    sondar::forEachNode(op, [&lines](sondar::TNVTreeNode* n) {
        if (!lines && n->caption().startsWith(QLatin1String("line [")))
            lines = n;
    });
    bench.core.editor().addArrayElement(lines, elements - 1);
    bench.core.inputFiles().setFileDialogs(&bench.files);
    bench.core.inputFiles().saveInput(op, false);
    for (auto _ : state) {
        state.PauseTiming();
        bench.analyze(url);
        state.ResumeTiming();
        if (!bench.core.inputFiles().restoreInput(bench.core.tree().root()->child(0), false))
            state.SkipWithError("the restore did not match");
    }
    state.counters["file_bytes"] = static_cast<double>(fileSize(path));
    state.counters["peak_mb"] = peakMegabytes();
}

}  // namespace

BENCHMARK(BM_WorkspaceSave)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WorkspaceOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RestoreArray)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    return sondar::bench::runWorkbenchBenchmarks(argc, argv, [] { documents(); });
}
