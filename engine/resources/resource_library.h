/*
 * The optional message resource library, "libNVResourceDLL.so", found by the dynamic linker's
 * ordinary search (LD_LIBRARY_PATH, the system folders). It holds the engine's message texts
 * under the same ids as the built-in table, for example in another language, and exports:
 */
#ifndef WSCORE_RESOURCE_LIBRARY_H
#define WSCORE_RESOURCE_LIBRARY_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#define NV_RESOURCE_LIBRARY_NAME "libNVResourceDLL.so"
#define NV_RESOURCE_LOAD_STRING "NVLoadString"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Copies the text of message `id` into `buffer` (at most capacity - 1 units, then a NUL) and
 * returns the text's full length in UTF-16 units; returns -1 when the library has no such id.
 * With capacity 0 nothing is written and only the length is returned.
 */
typedef int32_t (*NVLoadStringFn)(uint32_t id, char16_t* buffer, int32_t capacity);

#ifdef __cplusplus
}
#endif

#endif /* WSCORE_RESOURCE_LIBRARY_H */
