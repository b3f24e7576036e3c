// Why a compiled map could not be opened or read as a gzip file, in words a user can act on:
// said after the gzip layer's own texts ("Error opening x.qdm: the file is empty").
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kartwerk::format {

// Why the first bytes of a file hold no gzip header: head is the start of the file (all of it
// when it is short), headerCutShort whether they begin a header the file ends inside of.
// "the file is empty", "not a gzip file: it starts with a PNG picture's signature",
// "not a gzip file: it starts with 3C 21 44 4F ("<!DO")", "cut short: the file ends after 6 bytes,
// inside the gzip header (at least 10 bytes)", "damaged gzip header".
std::string NoGzipHeaderReason(std::span<const std::uint8_t> head, bool headerCutShort);

// Why a member's deflate data could not be inflated: the input ends inside the stream ("cut short:
// the file ends after N bytes, inside the compressed data"), or the stream is damaged ("damaged
// compressed stream (invalid block type)"). data is the member's data to the end of the file,
// fileSize the whole file's size.
std::string DeflateFailureReason(std::span<const std::uint8_t> data, std::uint64_t fileSize);

// A damaged stream, with the inflater's own word on it when there is one: "damaged compressed
// stream (invalid block type)".
std::string DamagedStreamReason(const char* inflaterMessage);

// A member whose trailer (CRC-32 and size, 8 bytes) is cut off after have bytes.
std::string TrailerCutShortReason(std::size_t have, std::uint64_t fileSize);

}  // namespace kartwerk::format
