// Writing output files whole: the content is built in memory and replaces the target
// atomically (a temporary file in the same folder, then a rename), so a failed write
// never leaves a truncated file behind.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace kartwerk {

// Throws FileCreateError naming the path and the system's reason.
void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content);
void WriteFileAtomic(const std::filesystem::path& path, std::string_view content);

}  // namespace kartwerk
