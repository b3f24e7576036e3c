// Writing output files whole: the content is built in memory and replaces the target
// atomically (a temporary file in the same folder, then a rename), so a failed write
// never leaves a truncated file behind.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace kartwerk {

// Removes an earlier output file of this name, if any. A conversion step calls this before it
// builds its content, so a step that fails leaves no copy from an earlier run that could pass
// for this run's output. A file that cannot be removed is reported by the write that follows.
void DiscardFile(const std::filesystem::path& path);

// Throws FileCreateError naming the path and the system's reason.
void WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> content);
void WriteFileAtomic(const std::filesystem::path& path, std::string_view content);

}  // namespace kartwerk
