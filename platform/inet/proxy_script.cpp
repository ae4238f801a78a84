#include "platform/inet/proxy_script.h"

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "duktape.h"
#include "platform/inet/pac_helpers.h"

namespace {

using Clock = std::chrono::steady_clock;

// Per-heap state the interpreter hands back to our hooks as its user data.
struct HeapState {
    Clock::time_point deadline{};
    bool armed = false;
    std::size_t bytes = 0;
};

// A script that builds giant strings or arrays fails instead of taking the process down.
constexpr std::size_t kHeapLimit = 64u << 20;

// Each block carries its size in front so that the total can be kept exactly.
constexpr std::size_t kHeader = alignof(std::max_align_t);

bool pastDeadline(const HeapState* state) {
    return state->armed && Clock::now() >= state->deadline;
}

// Growth also fails once time is up: the interpreter polls the clock only between bytecode
// batches, and a loop of costly built-ins (each allocating) would otherwise overrun the limit
// by many of them. A failed allocation is an ordinary catchable error to the interpreter.
void* heapAlloc(void* udata, duk_size_t size) {
    auto* state = static_cast<HeapState*>(udata);
    if (size == 0)
        return nullptr;
    if (size > kHeapLimit - state->bytes || pastDeadline(state))
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    state->bytes += size;
    return block + kHeader;
}

void heapFree(void* udata, void* ptr) {
    if (!ptr)
        return;
    auto* state = static_cast<HeapState*>(udata);
    auto* block = static_cast<unsigned char*>(ptr) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    state->bytes -= size;
    std::free(block);
}

void* heapRealloc(void* udata, void* ptr, duk_size_t size) {
    if (!ptr)
        return heapAlloc(udata, size);
    if (size == 0) {
        heapFree(udata, ptr);
        return nullptr;
    }
    auto* state = static_cast<HeapState*>(udata);
    auto* block = static_cast<unsigned char*>(ptr) - kHeader;
    std::size_t old = 0;
    std::memcpy(&old, block, sizeof old);
    if (size > old && (size - old > kHeapLimit - state->bytes || pastDeadline(state)))
        return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + kHeader));
    if (!grown)
        return nullptr;
    std::memcpy(grown, &size, sizeof size);
    state->bytes = state->bytes - old + size;
    return grown + kHeader;
}

// Reached only for an error outside any protected call, which this file never makes.
void heapFatal(void*, const char*) {
    std::abort();
}

duk_ret_t nativeDnsResolve(duk_context* ctx) {
    duk_size_t len = 0;
    const char* host = duk_safe_to_lstring(ctx, 0, &len);
    const auto ip = nv::inet::pac::resolveIpv4(std::string_view(host, len));
    if (ip) {
        duk_push_lstring(ctx, ip->data(), ip->size());
    } else {
        duk_push_null(ctx);
    }
    return 1;
}

duk_ret_t nativeMyIpAddress(duk_context* ctx) {
    const std::string ip = nv::inet::pac::ownIpv4Address();
    duk_push_lstring(ctx, ip.data(), ip.size());
    return 1;
}

struct FindCall {
    std::string_view url;
    std::string_view host;
};

// Everything that touches script values runs inside a protected call: a getter the script
// installed, or an allocation past the heap limit, must come back as an error, not abort.
duk_ret_t callFindProxy(duk_context* ctx, void* udata) {
    const auto* call = static_cast<const FindCall*>(udata);
    duk_get_global_string(ctx, "FindProxyForURL");
    if (!duk_is_function(ctx, -1))
        return DUK_RET_TYPE_ERROR;
    duk_push_lstring(ctx, call->url.data(), call->url.size());
    duk_push_lstring(ctx, call->host.data(), call->host.size());
    duk_call(ctx, 2);
    return 1;
}

duk_ret_t checkFindProxy(duk_context* ctx, void*) {
    duk_get_global_string(ctx, "FindProxyForURL");
    if (!duk_is_function(ctx, -1))
        return duk_error(ctx, DUK_ERR_TYPE_ERROR, "the script defines no FindProxyForURL function");
    return 0;
}

}  // namespace

// The interpreter polls this between bytecode batches; nonzero makes it throw a RangeError
// that keeps being rethrown until control is back in our protected call.
extern "C" int nv_inet_pac_timeout_check(void* udata) {
    return udata && pastDeadline(static_cast<const HeapState*>(udata)) ? 1 : 0;
}

namespace nv::inet {

struct ProxyScript::Impl {
    HeapState state;
    duk_context* ctx = nullptr;  // owned; destroyed with the heap in ~Impl
    std::uint32_t timeLimitMs = 1000;

    ~Impl() {
        if (ctx)
            duk_destroy_heap(ctx);
    }

    void arm() {
        state.deadline = Clock::now() + std::chrono::milliseconds(timeLimitMs);
        state.armed = timeLimitMs != 0;
    }

    // The message of the error on top of the stack (popped), read with the clock disarmed so
    // that its toString() may run.
    std::string takeError() {
        state.armed = false;
        duk_size_t len = 0;
        const char* text = duk_safe_to_lstring(ctx, -1, &len);
        std::string message(text, len);
        duk_pop(ctx);
        return message;
    }

    bool run(const char* source, std::size_t size, std::string* error) {
        arm();
        const bool ok = duk_peval_lstring(ctx, source, size) == 0;
        if (!ok) {
            const std::string message = takeError();
            if (error)
                *error = message;
            return false;
        }
        state.armed = false;
        duk_pop(ctx);
        return true;
    }
};

ProxyScript::ProxyScript(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ProxyScript::~ProxyScript() = default;

std::unique_ptr<ProxyScript> ProxyScript::compile(std::string_view source,
                                                  std::uint32_t timeLimitMs, std::string* error) {
    auto impl = std::make_unique<Impl>();
    impl->timeLimitMs = timeLimitMs;
    impl->ctx = duk_create_heap(heapAlloc, heapRealloc, heapFree, &impl->state, heapFatal);
    if (!impl->ctx) {
        if (error)
            *error = "out of memory";
        return nullptr;
    }
    duk_context* ctx = impl->ctx;
    duk_push_c_function(ctx, nativeDnsResolve, 1);
    duk_put_global_string(ctx, "dnsResolve");
    duk_push_c_function(ctx, nativeMyIpAddress, 0);
    duk_put_global_string(ctx, "myIpAddress");

    const char* helpers = pac::kHelperScript;
    if (!impl->run(helpers, std::strlen(helpers), error))
        return nullptr;
    if (!impl->run(source.data(), source.size(), error))
        return nullptr;

    impl->arm();
    if (duk_safe_call(ctx, checkFindProxy, nullptr, 0, 1) != DUK_EXEC_SUCCESS) {
        const std::string message = impl->takeError();
        if (error)
            *error = message;
        return nullptr;
    }
    impl->state.armed = false;
    duk_pop(ctx);
    return std::unique_ptr<ProxyScript>(new ProxyScript(std::move(impl)));
}

std::optional<std::string> ProxyScript::findProxyForUrl(std::string_view url, std::string_view host,
                                                        std::string* error) {
    duk_context* ctx = impl_->ctx;
    FindCall call{url, host};
    impl_->arm();
    if (duk_safe_call(ctx, callFindProxy, &call, 0, 1) != DUK_EXEC_SUCCESS) {
        const std::string message = impl_->takeError();
        if (error)
            *error = message;
        return std::nullopt;
    }
    impl_->state.armed = false;
    std::optional<std::string> answer;
    if (duk_is_string(ctx, -1)) {
        duk_size_t len = 0;
        const char* text = duk_get_lstring(ctx, -1, &len);
        answer.emplace(text, len);
    } else if (error) {
        *error = "FindProxyForURL returned no string";
    }
    duk_pop(ctx);
    return answer;
}

}  // namespace nv::inet
