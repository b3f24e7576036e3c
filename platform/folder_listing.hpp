// What a folder holds, name by name, with each file's size and digest: enough to tell later,
// without a copy, whether a folder is still byte for byte what Kartwerk wrote.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/written_files.hpp"

namespace kartwerk::platform {

// Relative path ('/'-separated) -> "" for a folder, "<size> <digest>" for a file, the digest as
// ContentHash gives it ("xxh3-128:..."). Listings read from older records keep their own kind
// ("sha256:..."): such a listing never equals one made now, so what it describes is kept.
using FolderListing = std::map<std::string, std::string>;

// The listing of folder, or nothing when it cannot be read or holds anything but files and
// folders (a link, say): such a folder is never taken for one Kartwerk wrote. A file that known
// logged at its present size takes its digest from the log; any other file is read and hashed.
std::optional<FolderListing> ListFolder(const std::filesystem::path& folder, const WrittenFiles* known = nullptr);

// A digest of a folder's names, sizes and modification times, read without opening any file;
// nothing when ListFolder would give nothing. A folder whose stamp is what it was has most likely
// not been touched; one whose stamp differs has certainly been.
std::optional<std::string> FolderStamp(const std::filesystem::path& folder);

// One line a name: "d <path>" or "f <size> <digest> <path>". Names with line breaks have no text
// (ListFolder refuses them).
std::string ListingText(const FolderListing& listing);
// The listing of lines as ListingText writes them (a digest of 64 bare hex digits, as earlier
// versions wrote, reads as "sha256:"); nothing when any line is not one.
std::optional<FolderListing> ListingFromText(std::string_view text);

// The sum of the file sizes in a listing.
std::uintmax_t ListingBytes(const FolderListing& listing);

}  // namespace kartwerk::platform
