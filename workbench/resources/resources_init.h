// The pictures, icon and help pages live in a static library; nothing in it is referenced by
// name, so a linker would drop it unless someone registers it explicitly. Call once before the
// first ":/images/..." or ":/help/..." lookup; further calls do nothing.
#pragma once

namespace sondar {

void initResources();

}  // namespace sondar
