// Arbitrary bytes as a mission's scripts section, converted script after script with either
// keyword set until the data runs out. Each script either converts, moving the stream on,
// or stops with one of its three errors (cut data, a code without a keyword row, a statement
// with fewer values than its keyword takes); nothing else may escape and nothing may hang.
#include "convert/records/scripts.hpp"
#include "core/errors.hpp"
#include "fuzz/fuzz_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto gameVersionKind = data[0] % 2 ? kartwerk::format::GameVersionKind::OlderKeywords
                                           : kartwerk::format::GameVersionKind::CurrentKeywords;
  kartwerk::core::ByteStream stream;
  stream.Load(kartwerk::core::Bytes(data + 1, data + size));
  for (std::int32_t index = 0; !stream.AtEnd(); ++index) {
    const std::int64_t before = stream.position();
    try {
      const std::string block = kartwerk::records::ConvertScript(stream, index, gameVersionKind);
      if (block.rfind("script \"", 0) != 0 || stream.position() <= before) __builtin_trap();
    } catch (const kartwerk::core::StreamReadError&) {
      break;
    } catch (const kartwerk::records::ScriptCodeError&) {
      break;
    } catch (const kartwerk::core::ListIndexError&) {
      break;
    }
  }
  return 0;
}
