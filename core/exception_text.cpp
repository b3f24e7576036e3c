#include "core/exception_text.hpp"

#include <new>

namespace kartwerk::core {

std::string ExceptionText(const std::exception_ptr& error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return "not enough memory";  // its own text, "std::bad_alloc", tells a user nothing
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace kartwerk::core
