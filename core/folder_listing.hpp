// What a folder holds, name by name, with each file's size and SHA-256: enough to tell later,
// without a copy, whether a folder is still byte for byte what Kartwerk wrote.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kartwerk {

// Relative path ('/'-separated) -> "" for a folder, "<size> <sha256>" for a file.
using FolderListing = std::map<std::string, std::string>;

// The listing of folder, or nothing when it cannot be read or holds anything but files and
// folders (a link, say): such a folder is never taken for one Kartwerk wrote.
std::optional<FolderListing> ListFolder(const std::filesystem::path& folder);

// One line a name: "d <path>" or "f <size> <sha256> <path>". Names with line breaks have no text
// (ListFolder refuses them).
std::string ListingText(const FolderListing& listing);
// The listing of lines as ListingText writes them; nothing when any line is not one.
std::optional<FolderListing> ListingFromText(std::string_view text);

// The sum of the file sizes in a listing.
std::uintmax_t ListingBytes(const FolderListing& listing);

}  // namespace kartwerk
