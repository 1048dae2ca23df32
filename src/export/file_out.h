// One output file of an export: written in full or not at all (a temporary beside the target is
// renamed over it), with a clear error when the folder cannot take it.
#pragma once

#include <string>
#include <string_view>

namespace xfer::grid_export {

inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Replaces `path` with `bytes`. Throws std::runtime_error naming the file.
void WriteWholeFile(const std::string& path, std::string_view bytes);
// The error thrown for a file that could not be written.
[[noreturn]] void FailWriting(const std::string& path, const std::string& why);

}  // namespace xfer::grid_export
