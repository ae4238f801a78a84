// The pictures and the icon live in a static library; nothing in it is referenced by name, so
// a linker would drop it unless someone registers it explicitly. Call once before the first
// ":/images/..." lookup; further calls do nothing.
#pragma once

namespace sondar {

void initResources();

}  // namespace sondar
