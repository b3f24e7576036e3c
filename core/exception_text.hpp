// The text of a failure as the program reports it: an exception's own message (a file system
// error's reason in the system's own words, see ErrorText), "not enough memory" for an allocation
// that failed, or "unknown error" for anything thrown that is not a std::exception.
#pragma once

#include <exception>
#include <string>

namespace kartwerk::core {

// The message of error; empty for no error. Called as ExceptionText(std::current_exception())
// inside a catch block, it names the exception being handled.
std::string ExceptionText(const std::exception_ptr& error);

}  // namespace kartwerk::core
