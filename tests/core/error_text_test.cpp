// Why a file operation failed, as messages give it after a name: on Linux the C library's own
// words, the same whether the number came from errno or from std::filesystem. (The Windows
// words are tested under Wine, error_text_win32_test.)
#include "core/error_text.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/errors.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/file_output.hpp"
#include "platform/folder_moves.hpp"
#include "platform/platform_files.hpp"
#include "platform/private_folder.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using mapmaker::WriteBytes;

// The words Linux users know from every other program; the messages keep them as they were.
TEST(ErrorTextTest, LinuxGivesTheCLibrarysWordsForEveryCategory) {
  const struct {
    int number;
    const char* words;
  } cases[] = {
      {EACCES, "Permission denied"}, {ENOENT, "No such file or directory"}, {ENOSPC, "No space left on device"},
      {EEXIST, "File exists"},       {EROFS, "Read-only file system"},      {ENOTEMPTY, "Directory not empty"},
      {ENOTDIR, "Not a directory"},  {EXDEV, "Invalid cross-device link"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::ErrorText({c.number, std::generic_category()}), c.words) << c.number;
    EXPECT_EQ(core::ErrorText({c.number, std::system_category()}), c.words) << c.number;
    EXPECT_EQ(core::ErrorText({c.number, std::generic_category()}), std::strerror(c.number)) << c.number;
  }
}

TEST(ErrorTextTest, TheLastFileErrorIsTheFailedCallsAndClearsToNone) {
  mapmaker::ScratchFolder dir;
  core::ClearLastFileError();
  EXPECT_FALSE(core::LastFileError());
  EXPECT_EQ(platform::OpenFile(dir / "no-such-folder" / "file", "wb"), nullptr);
  const std::error_code error = core::LastFileError();
  EXPECT_EQ(error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(core::ErrorText(error), "No such file or directory");
  core::ClearLastFileError();
  EXPECT_FALSE(core::LastFileError());
  EXPECT_EQ(core::FileSystemError(std::make_error_code(std::errc::io_error)), std::errc::io_error)
      << "on Linux the library's report is the system's own";
}

// The callers put the words after the file's or folder's name.
TEST(ErrorTextTest, FileAndFolderMessagesEndWithTheSystemsWords) {
  mapmaker::ScratchFolder dir;
  mapmaker::WriteBytes(dir / "a-file", core::Bytes{1});
  const std::filesystem::path missing = dir / "no-such-folder" / "out.txt";
  try {
    platform::WriteFileAtomic(missing, std::string_view("x"));
    ADD_FAILURE() << "written into a folder that does not exist";
  } catch (const core::FileCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing.string() + "\". No such file or directory");
  }
  const std::filesystem::path underFile = dir / "a-file" / "data";
  try {
    platform::MakePrivateFolder(underFile);
    ADD_FAILURE() << "a folder made inside a file";
  } catch (const platform::PrivateFolderError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create the folder \"" + underFile.string() + "\": Not a directory");
  }
  const std::error_code renamed = platform::RenameFolder(dir / "gone", dir / "there");
  EXPECT_EQ(core::ErrorText(renamed), "No such file or directory");
}

}  // namespace
}  // namespace kartwerk
