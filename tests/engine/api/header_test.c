/* The public header compiles on its own as C11, pedantic and warning-free: C callers use it. */
#include "engine/api/wscore.h"
#include "engine/resources/resource_library.h"

/* Pointers to the exports, so a signature change shows here too. */
int32_t (*const nvHeaderTestConnect)(int32_t*, int32_t, int32_t, const char16_t*, char16_t**,
                                     int32_t*, BSTR*, const char16_t*, int32_t, int32_t, int32_t,
                                     const char16_t*, const char16_t*) = WSDLConnect;
void (*const nvHeaderTestRelease)(int32_t) = ReleaseConnection;

int nvHeaderTestRecordSize(void) {
    return (int)sizeof(ParameterRecord);
}
