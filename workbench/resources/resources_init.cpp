#include "workbench/resources/resources_init.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function it calls, which must be in the global
// namespace; hence this helper outside namespace sondar.
static void registerSondarResources() {
    Q_INIT_RESOURCE(resources);
}

namespace sondar {

void initResources() {
    static const bool registered = [] {
        registerSondarResources();
        return true;
    }();
    (void)registered;
}

}  // namespace sondar
