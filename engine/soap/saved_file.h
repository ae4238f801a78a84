// Saving returned binary data into the working directory under a name taken from the response.
#pragma once

#include <string>
#include <string_view>

namespace wscore {

// A file name made from a name the response chose: it never leaves the folder it is joined to
// ("../", "/" and the like cannot get through) and holds only characters every file system
// takes; anything else becomes "_".
std::string safeFileName(std::string_view fromResponse);

// Writes `data` to directory + name (no separator added, as the setting is a prefix), replacing
// a file of that name; true on success with the path in `path`.
bool saveReturnedData(const std::string& directory, const std::string& name, std::string_view data,
                      std::string& path, bool overwrite = true, bool* existed = nullptr);

}  // namespace wscore
