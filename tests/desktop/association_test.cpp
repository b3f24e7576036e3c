// The shell association of the compiled map types: the Windows class-root entries, and on
// Linux the MIME package and desktop entry that the desktop's own tools turn into its
// databases, so that x.QDM, y.qdp and z.qdc open with the program.
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "core/text.hpp"
#include "desktop/association_rules.hpp"
#include "desktop/map_types.hpp"
#include "desktop/program_icon.hpp"
#include "desktop/system_tools.hpp"
#include "desktop/xdg_association.hpp"
#include "mapmaker/map_builder.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

using mapmaker::ScratchFolder;
using testing::RunProgram;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ClassRootEntries, AreTheEightEntriesOfEachTypeWithOpenAsTheDefaultVerb) {
  const auto entries =
      desktop::ClassRootEntries(desktop::kCompiledMapTypes[2], "C:\\Program Files\\Kartwerk\\kartwerk.exe");
  const std::string command = "\"C:\\Program Files\\Kartwerk\\kartwerk.exe\" \"%1\"";
  const std::array<desktop::ClassRootEntry, 8> expected = {{
      {".qdc", "qdc"},
      {"qdc", "Vornmark II\xE2\x84\xA2 campaign map"},
      {"qdc\\DefaultIcon", "C:\\Program Files\\Kartwerk\\kartwerk.exe,0"},
      {"qdc\\Shell", "open"},
      {"qdc\\Shell\\open", "Convert Vornmark II\xE2\x84\xA2 campaign map"},
      {"qdc\\Shell\\open\\command", command},
      {"qdc\\Shell\\Default_action", "Convert Vornmark II\xE2\x84\xA2 campaign map"},
      {"qdc\\Shell\\Default_action\\command", command},
  }};
  static_assert(std::tuple_size_v<decltype(entries)> == expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(entries[i].key, expected[i].key) << i;
    EXPECT_EQ(entries[i].value, expected[i].value) << i;
  }
}

TEST(ClassRootEntries, CoverTheThreeTypesInRegistrationOrder) {
  ASSERT_EQ(desktop::kCompiledMapTypes.size(), 3u);
  EXPECT_EQ(desktop::kCompiledMapTypes[0].extension, "qdm");
  EXPECT_EQ(desktop::kCompiledMapTypes[0].description, "Vornmark II\x99 singleplayer map");
  EXPECT_EQ(desktop::kCompiledMapTypes[1].extension, "qdp");
  EXPECT_EQ(desktop::kCompiledMapTypes[1].description, "Vornmark II\x99 multiplayer map");
  EXPECT_EQ(desktop::kCompiledMapTypes[2].extension, "qdc");
  EXPECT_EQ(desktop::kCompiledMapTypes[2].description, "Vornmark II\x99 campaign map");
  for (const desktop::MapType& type : desktop::kCompiledMapTypes) {
    const auto entries = desktop::ClassRootEntries(type, "k.exe");
    EXPECT_EQ(entries[0].key, "." + std::string(type.extension));
    EXPECT_EQ(entries[1].value.find('\x99'), std::string::npos) << "descriptions are written as Unicode";
  }
}

// A start takes a type only from nobody or from a broken program, and the installed copy also
// renews its own; `kartwerk register` takes every type.
TEST(AssociationRules, AStartKeepsOtherProgramsTypesAndACommandTakesThemAll) {
  using R = desktop::AssociationRequest;
  const struct {
    R request;
    bool installed;
    desktop::MapTypeHandler current;
    bool takes;
  } cases[] = {
      {R::Start, false, {"", false}, true},            // no program at all
      {R::Start, false, {"Other.Map", false}, true},   // its program was deleted
      {R::Start, false, {"Other.Map", true}, false},   // another program's, working
      {R::Start, false, {"qdm", true}, false},         // the installed Kartwerk's, from a copy
      {R::Start, true, {"QDM", true}, true},           // its own, renewed (class names ignore case)
      {R::Start, true, {"Other.Map", true}, false},    // taken by another program since
      {R::Start, false, {"qdm", false}, true},         // a deleted copy's
      {R::Command, false, {"Other.Map", true}, true},  // register takes it
      {R::Command, true, {"Other.Map", true}, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(desktop::TakesMapType(c.request, c.installed, "qdm", c.current), c.takes)
        << c.current.progId << " works=" << c.current.works << " installed=" << c.installed;
  }
}

TEST(AssociationRules, ACommandsProgramIsItsQuotedOrFirstPart) {
  const std::pair<const char*, const char*> cases[] = {
      {R"("C:\Program Files\Kartwerk\kartwerk.exe" "%1")", R"(C:\Program Files\Kartwerk\kartwerk.exe)"},
      {R"(  C:\Tools\view.exe "%1")", R"(C:\Tools\view.exe)"},
      {R"(%SystemRoot%\system32\notepad.exe %1)", R"(%SystemRoot%\system32\notepad.exe)"},
      {R"("C:\no end quote.exe)", R"(C:\no end quote.exe)"},
      {"notepad", "notepad"},
      {"   ", ""},
      {"", ""},
  };
  for (const auto& [command, program] : cases) EXPECT_EQ(desktop::CommandProgram(command), program) << command;
}

TEST(MimePackage, GivesEachExtensionItsOwnTypeWithItsDescription) {
  const std::string xml = desktop::MimePackageXml();
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
  for (const desktop::MapType& type : desktop::kCompiledMapTypes) {
    const std::size_t start = xml.find("<mime-type type=\"" + std::string(type.mimeType) + "\">");
    ASSERT_NE(start, std::string::npos) << type.mimeType;
    const std::string block = xml.substr(start, xml.find("</mime-type>", start) - start);
    EXPECT_NE(block.find("<glob pattern=\"*." + std::string(type.extension) + "\"/>"), std::string::npos) << block;
    EXPECT_NE(block.find("Vornmark II\xE2\x84\xA2"), std::string::npos) << block;
    EXPECT_EQ(block.find("case-sensitive"), std::string::npos);
  }
}

TEST(DesktopEntry, QuotesTheProgramAndEscapesWhatAnExecLineReserves) {
  EXPECT_EQ(desktop::DesktopExecProgram("/usr/bin/kartwerk"), "/usr/bin/kartwerk");
  EXPECT_EQ(desktop::DesktopExecProgram("kartwerk"), "kartwerk");
  EXPECT_EQ(desktop::DesktopExecProgram("/opt/k(1)/kartwerk"), "\"/opt/k(1)/kartwerk\"");
  EXPECT_EQ(desktop::DesktopExecProgram("/opt/my apps/kart$werk"), "\"/opt/my apps/kart\\\\$werk\"");
  EXPECT_EQ(desktop::DesktopExecProgram("/a\"b`c\\d"), "\"/a\\\\\"b\\\\`c\\\\\\\\d\"");
  EXPECT_EQ(desktop::DesktopExecProgram("/100%/kartwerk"), "/100%%/kartwerk");
  EXPECT_THROW(desktop::DesktopExecProgram("/bad\nname"), std::runtime_error);
  EXPECT_EQ(desktop::DesktopEntryString("a\\b\nc"), "a\\\\b\\nc");

  const std::string entry = desktop::DesktopEntry("/opt/kart werk/kartwerk", "/home/u/.local/share/icons/k.png");
  EXPECT_NE(entry.find("\nExec=\"/opt/kart werk/kartwerk\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=/home/u/.local/share/icons/k.png\n"), std::string::npos) << entry;
  EXPECT_NE(
      entry.find("\nMimeType=application/x-vornmark-ii-singleplayer-map;application/x-vornmark-ii-multiplayer-map;"
                 "application/x-vornmark-ii-campaign-map;\n"),
      std::string::npos)
      << entry;
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
}

std::uint32_t BigEndian(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (std::uint32_t{b.at(at)} << 24) | (std::uint32_t{b.at(at + 1)} << 16) | (std::uint32_t{b.at(at + 2)} << 8) |
         b.at(at + 3);
}

TEST(ProgramIcon, IsAWellFormed48PixelRgbaPng) {
  const std::vector<std::uint8_t> png = desktop::ProgramIconPng();
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  std::vector<std::string> types;
  std::vector<std::uint8_t> idat;
  for (std::size_t at = 8; at < png.size();) {
    const std::uint32_t length = BigEndian(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    const std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
    const uLong crc = crc32(0L, png.data() + at + 4, length + 4);
    EXPECT_EQ(BigEndian(png, at + 8 + length), crc) << type;
    if (type == "IHDR") {
      EXPECT_EQ(BigEndian(png, at + 8), 48u);
      EXPECT_EQ(BigEndian(png, at + 12), 48u);
      EXPECT_EQ(png[at + 16], 8);  // bits per channel
      EXPECT_EQ(png[at + 17], 6);  // RGBA
    }
    if (type == "IDAT")
      idat.insert(idat.end(), png.begin() + static_cast<long>(at) + 8,
                  png.begin() + static_cast<long>(at) + 8 + length);
    types.push_back(type);
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  std::vector<std::uint8_t> pixels(48 * (1 + 48 * 4) + 1);
  uLongf size = pixels.size();
  ASSERT_EQ(uncompress(pixels.data(), &size, idat.data(), idat.size()), Z_OK);
  EXPECT_EQ(size, 48u * (1 + 48 * 4));
  EXPECT_EQ(pixels[1 + 3], 0) << "the corner is transparent";
  EXPECT_EQ(pixels[24 * 193 + 1 + 24 * 4 + 3], 255) << "the middle is opaque";
}

// The MIME type the user's database gives a file name, read from its globs2 file as the
// desktop's MIME library does: case-insensitive globs match the lower-case name.
std::string TypeOfName(const std::filesystem::path& mimeFolder, const std::string& name) {
  std::istringstream globs(ReadText(mimeFolder / "globs2"));
  std::string line;
  int bestWeight = -1;
  std::string best;
  while (std::getline(globs, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, ':');) fields.push_back(field);
    if (fields.size() < 3) continue;
    const bool caseSensitive = fields.size() > 3 && fields[3].find("cs") != std::string::npos;
    const std::string subject = caseSensitive ? name : core::AsciiLower(name);
    const int weight = std::stoi(fields[0]);
    if (fnmatch(fields[2].c_str(), subject.c_str(), 0) == 0 && weight > bestWeight) {
      bestWeight = weight;
      best = fields[1];
    }
  }
  return best;
}

bool ToolsPresent() {
  return !desktop::FindProgramInPath("update-mime-database").empty() &&
         !desktop::FindProgramInPath("update-desktop-database").empty();
}

void ExpectDesktopKnowsTheTypes(const std::filesystem::path& dataHome) {
  const auto mime = dataHome / "mime";
  EXPECT_EQ(TypeOfName(mime, "x.QDM"), "application/x-vornmark-ii-singleplayer-map");
  EXPECT_EQ(TypeOfName(mime, "y.qdp"), "application/x-vornmark-ii-multiplayer-map");
  EXPECT_EQ(TypeOfName(mime, "z.qdc"), "application/x-vornmark-ii-campaign-map");
  EXPECT_EQ(TypeOfName(mime, "Campaign 001.QdC"), "application/x-vornmark-ii-campaign-map");
  EXPECT_EQ(TypeOfName(mime, "x.qdm.txt"), "");
  EXPECT_TRUE(std::filesystem::exists(mime / "mime.cache"));
  // The type's own description, as the database keeps it.
  EXPECT_NE(ReadText(mime / "application" / "x-vornmark-ii-multiplayer-map.xml")
                .find("Vornmark II\xE2\x84\xA2 multiplayer map"),
            std::string::npos);

  const std::string cache = ReadText(dataHome / "applications" / "mimeinfo.cache");
  for (const desktop::MapType& type : desktop::kCompiledMapTypes) {
    EXPECT_NE(cache.find(std::string(type.mimeType) + "=kartwerk.desktop;"), std::string::npos) << cache;
  }
}

TEST(XdgAssociation, TheUsersDatabasesMapTheExtensionsToTheProgram) {
  if (!ToolsPresent()) GTEST_SKIP() << "update-mime-database or update-desktop-database is not installed";
  mapmaker::ScratchFolder scratch;
  const auto dataHome = scratch.path() / "share";
  desktop::InstallXdgAssociation(dataHome, "/opt/kartwerk/kartwerk");
  ExpectDesktopKnowsTheTypes(dataHome);
  const auto files = desktop::XdgAssociationPaths(dataHome);
  EXPECT_EQ(files.desktopEntry, dataHome / "applications" / "kartwerk.desktop");
  EXPECT_NE(ReadText(files.desktopEntry).find("\nExec=/opt/kartwerk/kartwerk %f\n"), std::string::npos);
  EXPECT_NE(ReadText(files.desktopEntry).find("Icon=" + files.icon.string()), std::string::npos);
  EXPECT_EQ(ReadText(files.icon).substr(1, 3), "PNG");
}

TEST(XdgAssociation, UnchangedFilesAreLeftAloneAndMissingDatabasesRebuilt) {
  if (!ToolsPresent()) GTEST_SKIP() << "update-mime-database or update-desktop-database is not installed";
  mapmaker::ScratchFolder scratch;
  const auto dataHome = scratch.path() / "share";
  desktop::InstallXdgAssociation(dataHome, "/opt/kartwerk/kartwerk");
  const auto files = desktop::XdgAssociationPaths(dataHome);
  const auto packageTime = std::filesystem::last_write_time(files.mimePackage);
  const auto cacheTime = std::filesystem::last_write_time(dataHome / "mime" / "mime.cache");

  std::filesystem::remove(dataHome / "applications" / "mimeinfo.cache");
  desktop::InstallXdgAssociation(dataHome, "/opt/kartwerk/kartwerk");
  EXPECT_EQ(std::filesystem::last_write_time(files.mimePackage), packageTime);
  EXPECT_EQ(std::filesystem::last_write_time(dataHome / "mime" / "mime.cache"), cacheTime);
  EXPECT_TRUE(std::filesystem::exists(dataHome / "applications" / "mimeinfo.cache"));

  // A moved program rewrites its desktop entry.
  desktop::InstallXdgAssociation(dataHome, "/usr/local/bin/kartwerk");
  EXPECT_NE(ReadText(files.desktopEntry).find("\nExec=/usr/local/bin/kartwerk %f\n"), std::string::npos);
  ExpectDesktopKnowsTheTypes(dataHome);
}

TEST(XdgAssociation, FailuresSayWhatFailed) {
  mapmaker::ScratchFolder scratch;
  std::ofstream(scratch.path() / "file") << "x";
  try {
    desktop::InstallXdgAssociation(scratch.path() / "file", "/opt/kartwerk/kartwerk");
    FAIL() << "expected an error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("file"), std::string::npos) << e.what();
  }
  EXPECT_THROW(desktop::InstallXdgAssociation(scratch.path() / "share", ""), std::runtime_error);
}

// The register command, run as a user would with HOME and XDG_DATA_HOME in a scratch folder.
TEST(RegisterCommand, LeavesAPackageAndADesktopEntryTheDesktopUses) {
  if (!ToolsPresent()) GTEST_SKIP() << "update-mime-database or update-desktop-database is not installed";
  mapmaker::ScratchFolder scratch;
  // The programs run here see no system-wide Kartwerk entry, even where one is installed.
  ::setenv("XDG_DATA_DIRS", (scratch.path() / "system").c_str(), 1);
  const auto dataHome = scratch.path() / "data home";
  auto r =
      RunProgram(KARTWERK_EXE, {"register"}, {"HOME=" + scratch.path().string(), "XDG_DATA_HOME=" + dataHome.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  ExpectDesktopKnowsTheTypes(dataHome);
  const std::string entry = ReadText(dataHome / "applications" / "kartwerk.desktop");
  EXPECT_NE(
      entry.find("\nExec=" + desktop::DesktopExecProgram(std::filesystem::canonical(KARTWERK_EXE).string()) + " %f\n"),
      std::string::npos)
      << entry;

  // A program that PATH finds is started by its name.
  const std::string path = std::filesystem::canonical(KARTWERK_EXE).parent_path().string() + ":" + std::getenv("PATH");
  auto onPath = RunProgram(KARTWERK_EXE, {"register"},
                           {"HOME=" + scratch.path().string(), "XDG_DATA_HOME=" + dataHome.string(), "PATH=" + path});
  ASSERT_EQ(onPath.status, 0) << onPath.err;
  EXPECT_NE(ReadText(dataHome / "applications" / "kartwerk.desktop").find("\nExec=kartwerk %f\n"), std::string::npos);
  ExpectDesktopKnowsTheTypes(dataHome);

  // Without XDG_DATA_HOME the files go under HOME/.local/share.
  auto viaHome = RunProgram(KARTWERK_EXE, {"register"}, {"HOME=" + scratch.path().string(), "XDG_DATA_HOME="});
  ASSERT_EQ(viaHome.status, 0) << viaHome.err;
  ExpectDesktopKnowsTheTypes(scratch.path() / ".local" / "share");
}

TEST(RegisterCommand, WorksWithoutTheDesktopToolsAndReportsAFailingOneOnce) {
  mapmaker::ScratchFolder scratch;
  auto noTools = RunProgram(KARTWERK_EXE, {"register"},
                            {"HOME=" + scratch.path().string(), "XDG_DATA_HOME=" + (scratch.path() / "a").string(),
                             "PATH=" + (scratch.path() / "empty").string()});
  EXPECT_EQ(noTools.status, 0) << noTools.err;
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "a" / "mime" / "packages" / "kartwerk.xml"));
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "a" / "applications" / "kartwerk.desktop"));
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "a" / "mime" / "mime.cache"));

  const auto tools = scratch.path() / "tools";
  std::filesystem::create_directories(tools);
  std::ofstream(tools / "update-mime-database") << "#!/bin/sh\necho noise\necho more noise >&2\nexit 3\n";
  std::filesystem::permissions(tools / "update-mime-database", std::filesystem::perms::owner_all);
  auto failing = RunProgram(KARTWERK_EXE, {"register"},
                            {"HOME=" + scratch.path().string(), "XDG_DATA_HOME=" + (scratch.path() / "b").string(),
                             "PATH=" + tools.string()});
  EXPECT_EQ(failing.status, 1);
  EXPECT_EQ(failing.out, "");
  EXPECT_EQ(failing.err.rfind("kartwerk: could not register the map file types: update-mime-database", 0), 0u)
      << failing.err;
  EXPECT_EQ(std::count(failing.err.begin(), failing.err.end(), '\n'), 1) << failing.err;

  std::ofstream(scratch.path() / "not a folder") << "x";
  auto blocked =
      RunProgram(KARTWERK_EXE, {"register"},
                 {"HOME=" + scratch.path().string(), "XDG_DATA_HOME=" + (scratch.path() / "not a folder").string()});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_EQ(std::count(blocked.err.begin(), blocked.err.end(), '\n'), 1) << blocked.err;
}

}  // namespace
}  // namespace kartwerk
