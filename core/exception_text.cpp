#include "core/exception_text.hpp"

#include <filesystem>
#include <new>

#include "core/error_text.hpp"

namespace kartwerk::core {

std::string ExceptionText(const std::exception_ptr& error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return "not enough memory";  // its own text, "std::bad_alloc", tells a user nothing
  } catch (const std::filesystem::filesystem_error& e) {
    // The library words the reason itself ("...: REASON [PATH]"): the system's own words instead.
    std::string text = e.what();
    const std::string library = ": " + e.code().message();
    if (const std::size_t at = text.rfind(library); at != std::string::npos) {
      text.replace(at + 2, library.size() - 2, ErrorText(e.code()));
    }
    return text;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace kartwerk::core
