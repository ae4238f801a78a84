// The engine's built-in message texts and the optional resource library that may replace them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/resources/resource_library.h"

namespace wscore {

// Built-in text of a message id; empty for an id the table does not hold.
std::u16string_view builtInMessage(int id);

// Replaces each "%s" of `pattern`, in order, with the next argument.
std::u16string formatMessage(std::u16string_view pattern,
                             std::initializer_list<std::u16string_view> args);

// Where a connection takes its texts from: the resource library "NVResourceDLL" when it can be
// loaded (see resource_library.h for what it must export), else the built-in table. Each
// module that opened the library closes it when destroyed.
class MessageModule {
  public:
    MessageModule() = default;
    ~MessageModule();
    MessageModule(const MessageModule&) = delete;
    MessageModule& operator=(const MessageModule&) = delete;

    // Tries to load the resource library; returns whether it is in use now.
    bool openResourceLibrary();
    bool usesResourceLibrary() const { return handle_ != nullptr; }

    // The text of `id`. The resource library wins; an id it lacks comes from the built-in
    // table; an id neither holds gives the empty string.
    std::u16string text(int id) const;

  private:
    void* handle_ = nullptr;  // dlopen handle, closed by the destructor
    NVLoadStringFn loadString_ = nullptr;
};

}  // namespace wscore
