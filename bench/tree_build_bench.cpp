// The workbench's parameter tree for the largest corpus documents, apart from the engine.
//
// The workbench reaches the engine only through the registered component server, so the
// program registers the built wscom in a private registry and drives sondarcore as Sondar does:
//   BM_EngineStructures  GetOperations of the first service and both structures of every
//                        operation (the engine's and the COM bridge's share)
//   BM_TreeBuild         buildMessageSubtree over those arrays, fetched once (the tree's share)
//   BM_Analyze           the whole analyse: load over HTTP, engine, tree
// Counters: operations, records (IOMessage objects handed out), nodes of the built tree.
// Releasing the arrays and trees is kept out of the first two timings (it is reported as
// "teardown_ms"); the analyse releases the previous tree itself, as a repeated analyse does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "bench/bench_support.h"
#include "bench/workbench_bench_main.h"
#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/batch/batch_seams.h"
#include "workbench/core/engine/com_error.h"
#include "workbench/core/engine/nvws_control.h"
#include "workbench/core/seams/clock.h"
#include "workbench/core/session/main_view.h"
#include "workbench/core/session/workbench_core.h"
#include "workbench/core/tree/subtree_builder.h"

namespace {

using nv::bench::DocumentServer;
using sondar::IOMessageArray;
using sondar::MessageDirection;
using sondar::TNVTreeNode;

struct Document {
    const char* name;
    const char* path;  // on the server
};

// The largest real-world documents of the corpus (EWS imports types.xsd and messages.xsd).
constexpr Document kDocuments[] = {
    {"vboxweb", "/corpus/vboxweb/vboxweb.wsdl"},
    {"sf-enterprise", "/corpus/sf-enterprise/enterprise.wsdl"},
    {"ews-exchange", "/corpus/ews-exchange/services.wsdl"},
};

DocumentServer& server() {
    static DocumentServer s;
    return s;
}

QString urlOf(const Document& doc) {
    return QString::fromStdString(server().url(doc.path));
}

int countNodes(const TNVTreeNode* node) {
    int n = 1;
    for (int i = 0; i < node->childCount(); ++i)
        n += countNodes(node->child(i));
    return n;
}

int countNodes(const std::vector<std::unique_ptr<TNVTreeNode>>& nodes) {
    int n = 0;
    for (const auto& node : nodes)
        n += countNodes(node.get());
    return n;
}

// What the engine hands out for one service: every operation's input and output arrays.
struct Structures {
    QStringList operations;  // name, documentation, ...
    std::vector<IOMessageArray> inputs;
    std::vector<IOMessageArray> outputs;
    int emptyArrays() const {
        int n = 0;
        for (const auto* arrays : {&inputs, &outputs})
            for (const IOMessageArray& a : *arrays)
                n += a.empty() ? 1 : 0;
        return n;
    }
    long records() const {
        long n = 0;
        for (const auto* arrays : {&inputs, &outputs})
            for (const IOMessageArray& a : *arrays)
                n += static_cast<long>(a.size());
        return n;
    }
};

// GetOperations of `service` and both structures of every operation, as the analyse asks.
Structures fetchStructures(sondar::TCNVWSControl& control, const QString& service) {
    Structures s;
    QString errorText;
    control.GetOperations(service, s.operations, errorText);
    for (qsizetype o = 0; o < s.operations.size(); o += 2) {
        s.inputs.emplace_back();
        control.GetInputStructure(s.operations[o], s.inputs.back(), errorText);
        s.outputs.emplace_back();
        control.GetOutputStructure(s.operations[o], s.outputs.back(), errorText);
    }
    return s;
}

// Connects `control` to the document; the first service's name, or an error text.
bool connect(sondar::TCNVWSControl& control, const Document& doc, QString& service,
             std::string& error, int* serviceCount = nullptr) {
    QStringList services;
    QString errorText;
    try {
        control.ConnectWSDL(urlOf(doc), services, errorText);
    } catch (const sondar::EOleSysError& e) {
        error =
            "ConnectWSDL failed: " + e.message().toStdString() + " / " + errorText.toStdString();
        return false;
    }
    if (services.isEmpty()) {
        error = "no services: " + errorText.toStdString();
        return false;
    }
    service = services.front();
    if (serviceCount)
        *serviceCount = static_cast<int>(services.size() / 2);
    return true;
}

using Trees = std::vector<std::vector<std::unique_ptr<TNVTreeNode>>>;

// Both message subtrees of every operation.
Trees buildTrees(const Structures& s) {
    Trees trees;
    trees.reserve(s.inputs.size() * 2);
    for (std::size_t o = 0; o < s.inputs.size(); ++o) {
        // The analyse skips empty arrays; so does this.
        if (!s.inputs[o].empty())
            trees.push_back(sondar::buildMessageSubtree(s.inputs[o], MessageDirection::Input));
        if (!s.outputs[o].empty())
            trees.push_back(sondar::buildMessageSubtree(s.outputs[o], MessageDirection::Output));
    }
    return trees;
}

// Runs `release` with the timer paused; returns how long it took, in milliseconds.
template <typename Release>
double pausedTeardown(benchmark::State& state, Release&& release) {
    state.PauseTiming();
    const auto start = std::chrono::steady_clock::now();
    release();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    state.ResumeTiming();
    return took.count();
}

void setCounters(benchmark::State& state, const Structures& s, long nodes) {
    state.counters["operations"] = static_cast<double>(s.operations.size() / 2);
    state.counters["records"] = static_cast<double>(s.records());
    if (nodes >= 0)
        state.counters["nodes"] = static_cast<double>(nodes);
}

void EngineStructures(benchmark::State& state, const Document& doc) {
    sondar::TCNVWSControl control;
    QString service;
    std::string error;
    int services = 0;
    if (!connect(control, doc, service, error, &services)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Structures last;
    double teardown = 0;
    try {
        for (auto _ : state) {
            Structures s = fetchStructures(control, service);
            teardown += pausedTeardown(state, [&] { last = std::move(s); });
        }
    } catch (const sondar::EOleSysError& e) {
        error = "structure call failed: " + e.message().toStdString();
        state.SkipWithError(error.c_str());
        return;
    }
    setCounters(state, last, -1);
    state.counters["services"] = services;  // only the first one is analysed
    state.counters["empty_msgs"] = last.emptyArrays();
    state.counters["teardown_ms"] = teardown / static_cast<double>(state.iterations());
}

void TreeBuild(benchmark::State& state, const Document& doc) {
    sondar::TCNVWSControl control;
    QString service;
    std::string error;
    if (!connect(control, doc, service, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Structures s;
    try {
        s = fetchStructures(control, service);
    } catch (const sondar::EOleSysError& e) {
        error = "structure call failed: " + e.message().toStdString();
        state.SkipWithError(error.c_str());
        return;
    }
    // The first build prepares the input records as the tree edits them (array sizes,
    // booleans); every later build sees them prepared, as a rebuilt tree does.
    long nodes = 0;
    for (const auto& tree : buildTrees(s))
        nodes += countNodes(tree);

    double teardown = 0;
    for (auto _ : state) {
        Trees trees = buildTrees(s);
        benchmark::DoNotOptimize(trees.data());
        teardown += pausedTeardown(state, [&] { trees.clear(); });
    }
    setCounters(state, s, nodes);
    state.counters["teardown_ms"] = teardown / static_cast<double>(state.iterations());
}

void Analyze(benchmark::State& state, const Document& doc) {
    sondar::HeadlessMainView view;
    sondar::BatchMessages messages;
    sondar::BatchStatus status;
    sondar::NoCredentials credentials;
    sondar::SystemClock clock;
    sondar::WorkbenchCore core{sondar::WorkbenchSeams{view, messages, status, credentials, clock}};
    const QString url = urlOf(doc);
    for (auto _ : state) {
        view.setLocationText(url);
        if (!core.analyzer().analyze()) {
            const std::string why =
                "analyse failed: " +
                (messages.shown().isEmpty() ? status.last() : messages.shown().back())
                    .trimmed()
                    .toStdString();
            state.SkipWithError(why.c_str());
            return;
        }
    }
    // What the last analyse built, counted as the other two count it: the operations, their
    // arrays, and the nodes below the Input and Output nodes.
    const TNVTreeNode* root = core.tree().root();
    long records = 0;
    long nodes = 0;
    for (int o = 0; o < root->childCount(); ++o) {
        const TNVTreeNode* operation = root->child(o);
        for (int m = 0; m < operation->childCount(); ++m) {
            const TNVTreeNode* message = operation->child(m);
            if (const IOMessageArray* array = message->messageArray())
                records += static_cast<long>(array->size());
            nodes += countNodes(message) - 1;
        }
    }
    state.counters["operations"] = root->childCount();
    state.counters["records"] = static_cast<double>(records);
    state.counters["nodes"] = static_cast<double>(nodes);
}

// Each run is a few milliseconds to a few hundred: a second per benchmark keeps the whole
// program well under a minute on two cores.
void registerBenchmarks() {
    using Function = void (*)(benchmark::State&, const Document&);
    const std::pair<const char*, Function> benchmarks[] = {
        {"BM_EngineStructures/", EngineStructures},
        {"BM_TreeBuild/", TreeBuild},
        {"BM_Analyze/", Analyze},
    };
    for (const Document& doc : kDocuments)
        for (const auto& [prefix, function] : benchmarks)
            benchmark::RegisterBenchmark((std::string(prefix) + doc.name).c_str(), function, doc)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
}

}  // namespace

int main(int argc, char** argv) {
    return sondar::bench::runWorkbenchBenchmarks(argc, argv, [] {
        server();
        registerBenchmarks();
    });
}
