// sondar-demo-service: runs the demo SOAP service until Ctrl-C (or SIGTERM).
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>

#include "examples/demo_service/demo_service.h"

namespace {

constexpr int kDefaultPort = 8089;

void printUsage(std::FILE* to) {
    std::fprintf(to,
                 "Usage: sondar-demo-service [--port N]\n"
                 "\n"
                 "Serves Sondar's demo SOAP service on 127.0.0.1 until Ctrl-C.\n"
                 "\n"
                 "  --port N   listen on port N (default %d; 0 picks a free port)\n"
                 "  --help     show this text\n",
                 kDefaultPort);
}

bool parsePort(std::string_view text, int& port) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    return ec == std::errc() && end == text.data() + text.size() && port >= 0 && port <= 65535;
}

}  // namespace

int main(int argc, char** argv) {
    int port = kDefaultPort;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        }
        std::string_view value;
        if (arg == "--port" && i + 1 < argc) {
            value = argv[++i];
        } else if (arg.starts_with("--port=")) {
            value = arg.substr(7);
        } else {
            std::fprintf(stderr, "sondar-demo-service: unknown argument '%s'\n\n", argv[i]);
            printUsage(stderr);
            return 2;
        }
        if (!parsePort(value, port)) {
            std::fprintf(stderr, "sondar-demo-service: '%.*s' is not a port number (0 to 65535)\n",
                         static_cast<int>(value.size()), value.data());
            return 2;
        }
    }

    // Blocked before the server threads start, so that they inherit the mask and the signals
    // arrive only at sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        nv::demo::DemoService service(port);
        std::printf("Sondar demo service on %s\n", service.baseUrl().c_str());
        std::printf("  WSDL:                   %s\n", service.wsdlUrl().c_str());
        std::printf("  document/literal port:  %s\n", service.documentEndpoint().c_str());
        std::printf("  rpc/encoded port:       %s\n", service.rpcEndpoint().c_str());
        std::printf("Press Ctrl-C to stop.\n");
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
        std::printf("Stopping.\n");
        service.stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sondar-demo-service: %s\n", e.what());
        return 1;
    }
    return 0;
}
