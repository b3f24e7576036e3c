// The one text a failure is reported with, whatever was thrown and wherever it is caught.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <new>
#include <stdexcept>
#include <string>

#include "core/errors.hpp"
#include "core/exception_text.hpp"

namespace kartwerk {
namespace {

std::exception_ptr Thrown(auto&& thrown) {
  try {
    throw thrown;
  } catch (...) {
    return std::current_exception();
  }
}

TEST(ExceptionText, IsTheMessageOfAStandardExceptionAndOfOursDerivedFromIt) {
  EXPECT_EQ(core::ExceptionText(Thrown(std::runtime_error("Cannot create file \"x\". denied"))),
            "Cannot create file \"x\". denied");
  EXPECT_EQ(core::ExceptionText(Thrown(core::StreamReadError())), core::StreamReadError().what());
  EXPECT_EQ(core::ExceptionText(Thrown(std::out_of_range(""))), "") << "an empty message stays empty";
}

// On Linux a file system error reads as the library words it, the C library's reason included.
TEST(ExceptionText, KeepsAFileSystemErrorsOwnText) {
  const std::filesystem::filesystem_error error("Cannot create a temporary folder", "/tmp/x",
                                                std::make_error_code(std::errc::permission_denied));
  const std::string text = core::ExceptionText(Thrown(error));
  EXPECT_EQ(text, error.what());
  EXPECT_NE(text.find("Cannot create a temporary folder: Permission denied"), std::string::npos) << text;
}

TEST(ExceptionText, NamesAnAllocationFailureForWhatItIs) {
  EXPECT_EQ(core::ExceptionText(Thrown(std::bad_alloc())), "not enough memory");
}

TEST(ExceptionText, NamesAnythingElseAnUnknownErrorAndNoErrorNothing) {
  EXPECT_EQ(core::ExceptionText(Thrown(42)), "unknown error");
  EXPECT_EQ(core::ExceptionText(Thrown(std::string("not an exception"))), "unknown error");
  EXPECT_EQ(core::ExceptionText(nullptr), "");
}

TEST(ExceptionText, NamesTheExceptionBeingHandledInsideACatchBlock) {
  std::string text;
  try {
    throw std::invalid_argument("'abc' is not a valid integer value");
  } catch (...) {
    text = core::ExceptionText(std::current_exception());
  }
  EXPECT_EQ(text, "'abc' is not a valid integer value");
}

TEST(ExceptionText, ReadsAnErrorCarriedOverFromAnotherThread) {
  std::future<void> result = std::async(std::launch::async, [] { throw std::runtime_error("Stream read error"); });
  std::exception_ptr carried;
  try {
    result.get();
  } catch (...) {
    carried = std::current_exception();
  }
  EXPECT_EQ(core::ExceptionText(carried), "Stream read error");
}

}  // namespace
}  // namespace kartwerk
