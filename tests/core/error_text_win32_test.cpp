// Why a file operation failed, in Windows' own words: from a Windows error code, from the C
// library's number the library made of one, and after a name in the messages of real failures.
// Windows and Wine word some errors differently; each case accepts the words of both.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/error_text.hpp"
#include "core/errors.hpp"
#include "core/exception_text.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/file_output.hpp"
#include "platform/folder_moves.hpp"
#include "platform/path_text.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;

bool OneOf(const std::string& text, const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    if (text == w) return true;
  }
  return false;
}

// A reason goes on inside a sentence: no closing full stop, no line end.
void ExpectOneLineWithoutStop(const std::string& text) {
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.') << text;
  EXPECT_NE(text.back(), ' ') << text;
}

const std::vector<std::string> kAccessDenied = {"Access is denied", "Access denied"};
const std::vector<std::string> kFileNotFound = {"The system cannot find the file specified", "File not found"};
const std::vector<std::string> kPathNotFound = {"The system cannot find the path specified", "Path not found"};
const std::vector<std::string> kDiskFull = {"There is not enough space on the disk", "Disk full"};

TEST(ErrorTextWin32Test, WindowsErrorsAndTheCLibrarysNumbersReadInWindowsWords) {
  const struct {
    std::error_code error;
    std::vector<std::string> words;
    const char* posixWords;  // what the C library would say: never the text on Windows
  } cases[] = {
      {{ERROR_ACCESS_DENIED, std::system_category()}, kAccessDenied, "Permission denied"},
      {{ERROR_FILE_NOT_FOUND, std::system_category()}, kFileNotFound, "No such file or directory"},
      {{ERROR_PATH_NOT_FOUND, std::system_category()}, kPathNotFound, "No such file or directory"},
      {{ERROR_DISK_FULL, std::system_category()}, kDiskFull, "No space left on device"},
      {{ERROR_SHARING_VIOLATION, std::system_category()},
       {"The process cannot access the file because it is being used by another process", "Sharing violation"},
       "Device or resource busy"},
      {std::make_error_code(std::errc::permission_denied), kAccessDenied, "Permission denied"},
      {std::make_error_code(std::errc::no_such_file_or_directory), kPathNotFound, "No such file or directory"},
      {std::make_error_code(std::errc::no_space_on_device), kDiskFull, "No space left on device"},
      {std::make_error_code(std::errc::directory_not_empty),
       {"The directory is not empty", "Directory is not empty"},
       "Directory not empty"},
  };
  for (const auto& c : cases) {
    const std::string text = core::ErrorText(c.error);
    SCOPED_TRACE(c.error.category().name() + std::string(" ") + std::to_string(c.error.value()) + ": " + text);
    ExpectOneLineWithoutStop(text);
    EXPECT_TRUE(OneOf(text, c.words));
    EXPECT_NE(text, c.posixWords);
  }
}

TEST(ErrorTextWin32Test, WhatWindowsHasNoWordsForKeepsTheLibrarysText) {
  const std::error_code noWindowsOrigin = std::make_error_code(std::errc::argument_out_of_domain);
  EXPECT_EQ(core::ErrorText(noWindowsOrigin), noWindowsOrigin.message());
  const std::error_code unknown(0x2000ABCD, std::system_category());  // a customer code, unknown to the system
  EXPECT_EQ(core::ErrorText(unknown), unknown.message());
}

TEST(ErrorTextWin32Test, TheLastFileErrorIsWindowsOwnReason) {
  mapmaker::ScratchFolder dir;
  core::ClearLastFileError();
  EXPECT_FALSE(core::LastFileError());
  EXPECT_EQ(_wfopen((dir.path() / L"no-such-folder" / L"file").c_str(), L"wb"), nullptr);
  const std::error_code error = core::LastFileError();
  EXPECT_EQ(error, std::error_code(ERROR_PATH_NOT_FOUND, std::system_category()))
      << "a missing folder, which errno (ENOENT) cannot tell from a missing file";
  EXPECT_TRUE(OneOf(core::ErrorText(error), kPathNotFound)) << core::ErrorText(error);
}

// The messages of real failures name the file or folder, then Windows' words.
TEST(ErrorTextWin32Test, FileAndFolderMessagesEndWithWindowsWords) {
  mapmaker::ScratchFolder dir;
  const std::filesystem::path missing = dir.path() / L"no-such-folder" / L"out.txt";
  try {
    platform::WriteFileAtomic(missing, std::string_view("x"));
    ADD_FAILURE() << "written into a folder that does not exist";
  } catch (const core::FileCreateError& e) {
    const std::string start = "Cannot create file \"" + platform::TextFromPath(missing) + "\". ";
    const std::string message = e.what();
    ASSERT_EQ(message.substr(0, start.size()), start) << message;
    EXPECT_TRUE(OneOf(message.substr(start.size()), kPathNotFound)) << message;
  }
  // The library reads every failed rename but a refused one as "input/output error"; the
  // thread's last error still says what happened.
  const std::error_code renamed = platform::RenameFolder(dir.path() / L"gone", dir.path() / L"there");
  ASSERT_TRUE(renamed);
  EXPECT_TRUE(OneOf(core::ErrorText(renamed), kFileNotFound)) << core::ErrorText(renamed);
  EXPECT_NE(core::ErrorText(renamed), std::make_error_code(std::errc::io_error).message());
}

// A file system error that reaches the user whole (a temporary folder that cannot be made) keeps
// its message and path, with the reason in Windows' words.
TEST(ErrorTextWin32Test, AFileSystemErrorReportedWholeGivesWindowsWords) {
  const std::filesystem::path folder = L"C:\\users\\nobody\\Temp";
  const std::exception_ptr thrown = std::make_exception_ptr(std::filesystem::filesystem_error(
      "Cannot create a temporary folder", folder, std::make_error_code(std::errc::permission_denied)));
  const std::string text = core::ExceptionText(thrown);
  EXPECT_NE(text.find("Cannot create a temporary folder: "), std::string::npos) << text;
  const bool windowsWords =
      text.find(": Access is denied") != std::string::npos || text.find(": Access denied") != std::string::npos;
  EXPECT_TRUE(windowsWords) << text;
  EXPECT_EQ(text.find("Permission denied"), std::string::npos) << text;
  EXPECT_NE(text.find("nobody"), std::string::npos) << "the path stays: " << text;
}

}  // namespace
}  // namespace kartwerk
