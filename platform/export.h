// Symbol visibility for the platform library: everything is hidden unless marked.
#pragma once

#define NV_PLATFORM_API __attribute__((visibility("default")))
