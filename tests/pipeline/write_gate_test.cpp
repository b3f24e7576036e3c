// Every file and folder Kartwerk writes passes one gate: what it refuses, and that it lets
// through Kartwerk's own earlier work.
#include "pipeline/write_gate.hpp"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "game/user_folders.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/path_text.hpp"
#include "tests/support/folder_tree.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;

void WriteText(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  mapmaker::WriteBytes(file, core::Bytes(text.begin(), text.end()));
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(WriteGateTest, WindowsDeviceNamesAndDevicePathsAreToldFromTheTextAlone) {
  const struct {
    const char* path;
    bool device;
  } cases[] = {
      {"NUL", true},
      {"con", true},
      {"COM1", true},
      {"aux.txt", true},
      {"C:\\maps\\LPT9.png", true},
      {"nul .log", true},
      {"CON:", true},
      {"CONOUT$", true},
      {"COM\xC2\xB9", true},
      {"\\\\.\\C:", true},
      {"//./pipe/x", true},
      {"out/prn/map.007", true},
      {"console", false},
      {"COM10", false},
      {"nullable.txt", false},
      {"C:\\maps\\map.007", false},
      {"aux_files", false},
      {"\\\\127.0.0.1\\share", false},
      {"\\\\?\\C:\\maps", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!pipeline::DeviceNameProblem(c.path).empty(), c.device)
        << c.path << ": " << pipeline::DeviceNameProblem(c.path);
  }
}

// One map in dir/maps, the backups in dir/data/backups, and folders of every kind beside them.
struct GateScene {
  mapmaker::ScratchFolder dir;
  fs::path map = dir / "maps" / "one.qdm";
  pipeline::WriteGate gate{{map}, dir / "data" / "backups", "replace"};
  GateScene() {
    WriteText(map, "compiled");
    WriteText(dir / "maps" / "one000.qdm", "a campaign's mission");
    WriteText(dir / "docs" / "letter.txt", "dear");
    WriteText(dir / "data" / "backups" / "map.007 old" / "desc", "kept");
    WriteText(dir / "slot" / "desc", "a slot");
    fs::create_directory_symlink(dir / "docs", dir / "link");
    fs::create_symlink(dir / "docs" / "letter.txt", dir / "letter-link.png");
  }
};

// What the refusal says for a target, "" when the gate lets it through.
void ExpectReason(const std::string& problem, const std::string& reason, const fs::path& target) {
  if (reason.empty()) {
    EXPECT_EQ(problem, "") << platform::TextFromPath(target);
  } else {
    EXPECT_NE(problem.find(reason), std::string::npos) << platform::TextFromPath(target) << ": " << problem;
  }
}

TEST(WriteGateTest, FoldersToReplaceKeepClearOfTheMapTheHomeTheRootLinksAndTheBackups) {
  GateScene s;
  const struct {
    fs::path target;
    std::string reason;
  } cases[] = {
      {s.dir / "maps", "it is the folder that holds the map"},
      {s.dir.path(), "it is a folder above the map"},
      {s.dir / "maps" / ".." / "maps", "it is the folder that holds the map"},
      {fs::path("/"), "it is the root of a file system"},
      {s.dir / "link", "it is a symbolic link to \"" + platform::TextFromPath(s.dir / "docs") + "\""},
      {s.dir / "data" / "backups" / "map.007 old", "it lies in Kartwerk's own data folder"},
      {s.dir / "data", "it holds Kartwerk's own data folder"},
      {pipeline::KartwerkDataFolder() / "written-files", "it lies in Kartwerk's own data folder"},
      {s.dir / "new" / "map.007", ""},
      {s.dir / "slot", ""},
  };
  for (const auto& c : cases) {
    const std::string problem = pipeline::FolderWriteProblem(c.target, s.gate, pipeline::FolderUse::Replace);
    ExpectReason(problem, c.reason, c.target);
    if (!c.reason.empty()) {
      EXPECT_EQ(problem.rfind("refusing to replace \"", 0), 0u) << problem;
    }
  }
  // The home folder, for every command: a restore has no map at all.
  const fs::path home = game::HomeFolder();
  if (!home.empty())
    ExpectReason(pipeline::FolderWriteProblem(home, pipeline::WriteGate{}, pipeline::FolderUse::Replace),
                 "the home folder", home);
  EXPECT_TRUE(fs::exists(s.dir / "docs" / "letter.txt"));
}

#ifndef _WIN32
TEST(WriteGateTest, FoldersOfAnotherOwnerOrThatCannotBeChangedAreRefusedWithTheReason) {
  GateScene s;
  WriteText(s.dir / "shared" / "mis.000" / "players", "theirs");
  const bool root = ::geteuid() == 0;
  // Root ignores permission bits, so as root the obstacle is another owner.
  if (root) {
    ASSERT_EQ(::chown((s.dir / "shared" / "mis.000" / "players").c_str(), 65534, 65534), 0);
  } else {
    fs::permissions(s.dir / "shared" / "mis.000", fs::perms::owner_read | fs::perms::owner_exec);
  }
  const std::string problem = pipeline::FolderWriteProblem(s.dir / "shared", s.gate, pipeline::FolderUse::Replace);
  ExpectReason(problem, root ? "belongs to another user" : "is a folder you may not change", s.dir / "shared");
  EXPECT_NE(problem.find("mis.000"), std::string::npos) << problem;
  fs::permissions(s.dir / "shared" / "mis.000", fs::perms::owner_all);
}
#endif

TEST(WriteGateTest, SingleFilesAreNeverTheMapALinkOrAFileKartwerkDidNotWrite) {
  GateScene s;
  const struct {
    fs::path target;
    bool ownWrite;
    const char* reason;
  } cases[] = {
      {s.map, false, "it is the map being read"},
      {s.map, true, "it is the map being read"},
      {s.dir / "docs" / "letter.txt", false, "it is a file Kartwerk did not write"},
      {s.dir / "docs" / "letter.txt", true, ""},
      {s.dir / "letter-link.png", true, "it is a symbolic link to"},
      {s.dir / "docs", true, "it is not a file"},
      {s.dir / "data" / "backups" / "picture.png", false, "it lies in Kartwerk's own data folder"},
      {s.dir / "docs" / "new.png", false, ""},
  };
  for (const auto& c : cases)
    ExpectReason(pipeline::FileWriteProblem(c.target, s.gate, c.ownWrite), c.reason, c.target);
}

TEST(WriteGateTest, APictureReplacesOnlyThePictureKartwerkRecordedWriting) {
  GateScene s;
  const fs::path picture = s.dir / "docs" / "picture.png";
  pipeline::WriteGatedFile(picture, AsBytes("first"), s.gate);
  pipeline::WriteGatedFile(picture, AsBytes("second"), s.gate);  // its own, unchanged: replaced
  EXPECT_EQ(mapmaker::ReadBytes(picture), core::Bytes({'s', 'e', 'c', 'o', 'n', 'd'}));
  WriteText(picture, "edited by hand");
  EXPECT_THROW(pipeline::WriteGatedFile(picture, AsBytes("third"), s.gate), pipeline::WriteRefused);
  EXPECT_THROW(pipeline::WriteGatedFile(s.map, AsBytes("png"), s.gate), pipeline::WriteRefused);
  EXPECT_EQ(mapmaker::ReadBytes(s.map), core::Bytes({'c', 'o', 'm', 'p', 'i', 'l', 'e', 'd'}));
  const auto edited = mapmaker::ReadBytes(picture);
  EXPECT_EQ(std::string(edited.begin(), edited.end()), "edited by hand");
}

TEST(WriteGateTest, AGalleryFolderIsNewEmptyOrHoldsOnlyWhatTheLastGalleryWrote) {
  GateScene s;
  const fs::path folder = s.dir / "site";
  {
    const pipeline::GatedFolder gallery(folder, s.gate);
    gallery.Write("index.html", std::string_view("<html>"));
    gallery.Write("camp/mis.001.png", std::string_view("png"));
    gallery.Finish();
  }
  EXPECT_NO_THROW(pipeline::GatedFolder(folder, s.gate));  // its own, unchanged
  WriteText(folder / "notes.txt", "mine");
  try {
    pipeline::GatedFolder refused(folder, s.gate);
    ADD_FAILURE() << "a gallery folder holding the user's notes was accepted";
  } catch (const pipeline::WriteRefused& e) {
    EXPECT_NE(std::string(e.what()).find("it holds files Kartwerk did not write (camp/, index.html, notes.txt)"),
              std::string::npos)
        << e.what();
  }
  EXPECT_THROW(pipeline::GatedFolder(s.dir / "docs", s.gate), pipeline::WriteRefused);  // a folder of the user's files
  EXPECT_THROW(pipeline::GatedFolder(s.dir / "link", s.gate), pipeline::WriteRefused);
  EXPECT_THROW(pipeline::GatedFolder(s.dir / "maps", s.gate), pipeline::WriteRefused);
}

}  // namespace
}  // namespace kartwerk
