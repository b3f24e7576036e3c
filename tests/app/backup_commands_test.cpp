// `kartwerk backups` and `restore` as a user reads them, and the program's messages as a whole:
// each is one line, whatever it says.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "mapmaker/map_builder.hpp"
#include "pipeline/backup_store.hpp"
#include "platform/path_text.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

namespace fs = std::filesystem;
using mapmaker::ScratchFolder;
using testing::Lines;
using testing::RunProgram;

std::vector<std::string> UserDataIn(const fs::path& folder) {
  return {"XDG_DATA_HOME=" + platform::TextFromPath(folder), "LOCALAPPDATA=" + platform::TextFromPath(folder)};
}

// "map.007 2026-01-01 00-00-00.000Z-01" ... : count backups of place, one minute apart, as the
// program's records describe them.
void MakeBackups(const fs::path& store, const fs::path& place, int count) {
  const pipeline::BackupStore backups(store);
  backups.MakeReady();
  for (int i = 0; i < count; ++i) {
    char when[40];
    std::snprintf(when, sizeof when, "2026-01-%02d %02d-%02d-00.000Z-01", 1 + i / 1440, i / 60 % 24, i % 60);
    pipeline::BackupRecord record;
    record.origin = place;
    record.when = when;
    record.title = "Map " + std::to_string(i);
    record.folder = store / platform::PathFromText(
                                pipeline::BackupName(platform::TextFromPath(place.filename()), when, record.title));
    fs::create_directories(record.folder);
    std::ofstream(record.folder / "desc", std::ios::binary) << std::string(static_cast<std::size_t>(i), 'x');
    backups.Describe(record);
  }
}

TEST(BackupCommandsTest, ThreeHundredBackupsAreThreeHundredLinesNewestFirstAndACount) {
  mapmaker::ScratchFolder dir;
  const fs::path place = dir / "maps" / "out1";
  fs::create_directories(place);
  fs::create_directory_symlink(dir / "maps", dir / "link");
  MakeBackups(dir / "data" / "kartwerk" / "replaced-slots", place, 300);

  for (const std::string& spelling :
       {std::string(), platform::TextFromPath(place), platform::TextFromPath(dir / "link" / "out1")}) {
    SCOPED_TRACE(spelling);
    std::vector<std::string> args{"backups"};
    if (!spelling.empty()) args.insert(args.end(), {"--out", spelling});
    const auto r = RunProgram(KARTWERK_EXE, args, UserDataIn(dir / "data"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 301u);
    std::vector<std::string> keys;
    // "PLACE"  2026-01-01 05:59:00  "Map 299"  299 bytes  not a Kartwerk map  [out1 ...]
    const std::string head = "\"" + platform::TextFromPath(place) + "\"  ";
    const std::string state = "  not a Kartwerk map  [";
    for (std::size_t i = 0; i < 300; ++i) {
      const std::string& l = lines[i];
      ASSERT_EQ(l.rfind(head, 0), 0u) << l;
      ASSERT_GT(l.size(), head.size() + 21) << l;
      EXPECT_EQ(l.substr(head.size() + 4, 1) + l.substr(head.size() + 13, 1) + l.substr(head.size() + 19, 2), "-:  ")
          << "a local date and time: " << l;
      EXPECT_NE(l.find("  \"Map "), std::string::npos) << l;
      const std::size_t at = l.find(state);
      ASSERT_NE(at, std::string::npos) << l;
      ASSERT_EQ(l.back(), ']') << l;
      keys.push_back(l.substr(at + state.size(), l.size() - at - state.size() - 1));
    }
    EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend())) << "newest first";
    EXPECT_EQ(keys.front(), "out1 2026-01-01 04-59-00.000Z-01");
    // 0 + 1 + ... + 299 bytes of desc files.
    EXPECT_EQ(lines[300].find("300 backups"), 0u) << lines[300];
    EXPECT_NE(lines[300].find(", 44.9 kB; kartwerk restore"), std::string::npos) << lines[300];
  }

  const auto json = RunProgram(KARTWERK_EXE, {"backups", "--json"}, UserDataIn(dir / "data"));
  const nlohmann::json list = nlohmann::json::parse(json.out);
  ASSERT_EQ(list.size(), 300u);
  EXPECT_EQ(list[0]["title"], "Map 299");
  EXPECT_EQ(list[0]["bytes"], 299);
  EXPECT_EQ(list[0]["state"], "not a Kartwerk map");
  EXPECT_EQ(list[0]["unchangedConversion"], false);
}

TEST(BackupCommandsTest, MistakesWithPlacesAreToldAsSuch) {
  mapmaker::ScratchFolder dir;
  const fs::path place = dir / "out1";
  fs::create_directories(place);
  const auto restore = RunProgram(KARTWERK_EXE, {"restore", platform::TextFromPath(place)}, UserDataIn(dir / "data"));
  EXPECT_EQ(restore.status, 1);
  EXPECT_EQ(restore.err, "kartwerk: " + platform::TextFromPath(place) + " is not a backup; `kartwerk backups --out " +
                             platform::TextFromPath(place) + "` lists its backups\n");

  // A quoted "~" reaches the program unexpanded.
  const auto tilde = RunProgram(KARTWERK_EXE, {"backups", "--out", "~/maps"}, UserDataIn(dir / "data"));
  EXPECT_EQ(tilde.status, 0);
  EXPECT_EQ(Lines(tilde.err).size(), 1u) << tilde.err;
  EXPECT_EQ(tilde.err.rfind("kartwerk: warning: \"~/maps\" starts with \"~\", which the shell did not expand", 0), 0u)
      << tilde.err;
  EXPECT_EQ(
      Lines(tilde.out),
      std::vector<std::string>{"no backups of \"" + platform::TextFromPath(fs::current_path() / "~" / "maps") + "\""});
}

// The string literals of a source file that hold a line break with more text after it.
std::vector<std::string> MultiLineLiterals(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  std::vector<std::string> found;
  int line = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      ++line;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      for (i += 2; i + 1 < text.size() && !(text[i] == '*' && text[i + 1] == '/'); ++i) line += text[i] == '\n';
      ++i;
    } else if (c == '\'' || c == '"') {
      std::string literal;
      for (++i; i < text.size() && text[i] != c; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) literal += text[i++];
        literal += text[i];
      }
      const std::size_t newline = literal.find("\\n");
      if (c == '"' && newline != std::string::npos && newline + 2 < literal.size()) {
        found.push_back(platform::TextFromPath(file.filename()) + ":" + std::to_string(line) + ": \"" + literal + "\"");
      }
    }
  }
  return found;
}

TEST(BackupCommandsTest, NoMessageOfTheProgramBreaksItsLine) {
  // Where a line break inside a text is the point: files the program writes (records, pages,
  // desktop files, the editor's own texts), help texts, and the windows' notices, which show lines.
  const std::vector<std::string> writesLines = {"backup_store.cpp",    "folder_listing.cpp", "gallery_page.cpp",
                                                "xdg_association.cpp", "slot_store.cpp",     "gzip_reasons.cpp",
                                                "gui_main.cpp",        "text_lines.hpp",     "output_records.cpp"};
  std::vector<std::string> found;
  std::size_t files = 0;
  for (const char* layer : {"app", "pipeline", "game", "desktop", "core", "platform", "format", "compare", "preview"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(KARTWERK_SOURCE_DIR) / layer)) {
      const std::string name = platform::TextFromPath(entry.path().filename());
      if (!entry.is_regular_file() || std::find(writesLines.begin(), writesLines.end(), name) != writesLines.end())
        continue;
      if (entry.path().extension() != ".cpp" && entry.path().extension() != ".hpp") continue;
      ++files;
      for (std::string& literal : MultiLineLiterals(entry.path())) found.push_back(std::move(literal));
    }
  }
  EXPECT_GT(files, 100u);
  EXPECT_TRUE(found.empty()) << ::testing::PrintToString(found);
  // The scan itself finds one.
  mapmaker::ScratchFolder dir;
  std::ofstream(dir / "probe.cpp")
      << "// \"a\\nb\"\nthrow Error(\"first\\n  second\"); char q = '\"'; auto s = \"end\\n\";\n";
  EXPECT_EQ(MultiLineLiterals(dir / "probe.cpp"), std::vector<std::string>{"probe.cpp:2: \"first\\n  second\""});
}

}  // namespace
}  // namespace kartwerk
