// The texts the engine shows for HTTP status codes (each starts with five blanks).
#pragma once

#include <string_view>

namespace wscore {

// Empty for a code the table does not hold.
std::u16string_view httpStatusText(int status);

}  // namespace wscore
