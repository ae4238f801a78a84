// Fuzz target: reading workspace files, compressed or not. Whatever is read must write back
// to the same content and read again unchanged.
#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "workbench/core/files/workspace_file.h"

namespace {

void readBack(const QByteArray& bytes) {
    QString error;
    const auto content = sondar::decodeWorkspace(bytes, error);
    if (!content) {
        if (error.isEmpty())
            __builtin_trap();  // every refusal says why
        return;
    }
    const QByteArray written = sondar::encodeWorkspace(*content);
    const auto again = sondar::decodeWorkspace(written, error);
    if (!again || sondar::encodeWorkspace(*again) != written)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    readBack(bytes);
    QString error;
    // A small limit: the fuzzer's memory is not for zip bombs.
    if (const auto inflated = sondar::inflateWorkspace(bytes, error, 1 << 20))
        readBack(*inflated);
    return 0;
}
