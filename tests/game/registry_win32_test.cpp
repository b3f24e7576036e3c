// The Windows registry for real (under Wine): installations written through the registry API,
// then read back by the program's own lookups and by kartwerk.exe; the class-root association
// written by the program and read back entry by entry.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "desktop/association.hpp"
#include "desktop/map_type_registry_win32.hpp"
#include "desktop/map_types.hpp"
#include "format/map_info.hpp"
#include "game/game_location.hpp"
#include "game/registry_win32.hpp"
#include "game/slot_store.hpp"
#include "mapmaker/map_builder.hpp"
#include "platform/path_text.hpp"
#include "platform/program_path.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk {
namespace {

const std::wstring kGameKey = L"Software\\Brannox\\Vornmark II";
const std::wstring kWow64GameKey = L"Software\\Wow6432Node\\Brannox\\Vornmark II";

std::wstring Wide(std::string_view utf8) { return platform::PathFromText(utf8).wstring(); }
std::string Utf8(const std::wstring& wide) { return platform::TextFromPath(std::filesystem::path(wide)); }

// Writes a value through the API; view is 0 or KEY_WOW64_32KEY (what a 32-bit installer writes).
void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size,
              REGSAM view = 0) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(handle);
}

void SetString(const std::wstring& key, const std::wstring& name, const std::wstring& text, REGSAM view = 0) {
  SetValue(HKEY_LOCAL_MACHINE, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
           view);
}

// The default value of a class-root key, read through the API.
std::wstring ClassRootDefault(const std::wstring& key) {
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return buffer;
}

class WindowsRegistry : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Brannox");
    HKEY wow = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &wow) == ERROR_SUCCESS) {
      RegDeleteTreeW(wow, L"Brannox");
      RegCloseKey(wow);
    }
  }

  // A game folder (with its editor when asked) and a registered installation naming it.
  std::filesystem::path Install(const std::wstring& gameKey, const std::wstring& subKey, const std::string& folderName,
                                const std::wstring& version, const std::wstring& language, bool withEditor = true,
                                REGSAM view = 0) {
    const std::filesystem::path folder = scratch_.path() / platform::PathFromText(folderName);
    std::filesystem::create_directories(folder / "editor");
    if (withEditor) std::ofstream(folder / "editor" / "scridll.dll") << "MZ";
    const std::wstring key = gameKey + L"\\" + subKey;
    SetString(key, L"target folder", folder.wstring(), view);
    SetString(key, L"version", version, view);
    SetString(key, L"language", language, view);
    return folder;
  }

  mapmaker::ScratchFolder scratch_;
};

TEST_F(WindowsRegistry, InstallationsWrittenThroughTheApiAreEnumeratedAndLocated) {
  const std::filesystem::path first = Install(kGameKey, L"1", "Vornmark II", L"1.9", L"English");
  Install(kGameKey, L"2", "gone", L"2.0", L"English");
  std::filesystem::remove_all(scratch_.path() / "gone");  // registered, but its folder is gone
  const std::filesystem::path german =
      Install(kGameKey, L"\u00dcbersetzung [de]", "Spiele \u5730\u56fe \u00dcbersicht", L"2.2", L"Deutsch \u2122");
  // Values of other types beside the strings; a "target folder" that is no string reads as empty.
  const DWORD build = 42;
  SetValue(HKEY_LOCAL_MACHINE, kGameKey + L"\\1", L"build", REG_DWORD, &build, sizeof build);
  const wchar_t multi[] = L"one\0two\0";
  SetValue(HKEY_LOCAL_MACHINE, kGameKey + L"\\1", L"patches", REG_MULTI_SZ, multi, sizeof multi);
  SetValue(HKEY_LOCAL_MACHINE, kGameKey + L"\\3", L"target folder", REG_DWORD, &build, sizeof build);
  const wchar_t expandable[] = L"%SystemRoot%";
  SetValue(HKEY_LOCAL_MACHINE, kGameKey + L"\\3", L"version", REG_EXPAND_SZ, expandable, sizeof expandable);

  game::GameInstallations installs;
  installs.registry = game::OpenWin32Registry();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 2u);
  EXPECT_EQ(installs.installedVersions[0].subKey, "1");
  EXPECT_EQ(installs.installedVersions[0].version, "1.9");
  EXPECT_EQ(installs.installedVersions[0].hostFolder, first);
  EXPECT_EQ(installs.installedVersions[1].subKey,
            "\xC3\x9C"
            "bersetzung [de]");
  EXPECT_EQ(installs.installedVersions[1].language, "Deutsch \xE2\x84\xA2");
  EXPECT_EQ(installs.installedVersions[1].hostFolder, german);

  installs.chosenVersion = 2;
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, german);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::CurrentKeywords);
  installs.chosenVersion = 1;
  ASSERT_TRUE(game::LocateGame(installs));
  EXPECT_EQ(installs.gameFolder, first);
  EXPECT_EQ(installs.gameVersionKind, format::GameVersionKind::OlderKeywords);
}

TEST_F(WindowsRegistry, AThirtyTwoBitInstallersKeyIsFoundInItsWow64Twin) {
  const std::filesystem::path folder =
      Install(kGameKey, L"3", "Program Files (x86) Vornmark II", L"2.1", L"English", true, KEY_WOW64_32KEY);
  HKEY probe = nullptr;
  ASSERT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey.c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS)
      << "the 64-bit view must not hold the key";
  game::GameInstallations installs;
  installs.registry = game::OpenWin32Registry();
  game::EnumerateInstallations(installs);
  ASSERT_EQ(installs.installedVersions.size(), 1u);
  EXPECT_EQ(installs.installedVersions[0].hostFolder, folder);
  EXPECT_TRUE(game::LocateGame(installs));
}

TEST_F(WindowsRegistry, InstallsAndSlotsCommandsReadTheRegistry) {
  const std::filesystem::path folder = Install(kGameKey, L"1", "\u5730\u56fe Vornmark", L"1.9", L"English");
  Install(kGameKey, L"\u00dcbersetzung", "Spiele \u00dcbersicht", L"2.2", L"Deutsch");
  const std::filesystem::path slot = game::SlotFolderPath(folder, 7);
  std::filesystem::create_directories(slot);
  std::ofstream(slot / "desc", std::ios::binary) << "Gr\xF6\xDF"
                                                    "e Insel\nmore\n";

  const testing::ProgramResult installs = testing::RunProgram(KARTWERK_EXE, {"installs", "--json"});
  ASSERT_EQ(installs.status, 0) << installs.err;
  const nlohmann::json list = nlohmann::json::parse(installs.out);  // throws on text that is no UTF-8 JSON
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["folder"], platform::TextFromPath(folder));
  EXPECT_EQ(list[0]["editor"], true);
  EXPECT_EQ(list[1]["sub_key"],
            "\xC3\x9C"
            "bersetzung");

  const testing::ProgramResult slots = testing::RunProgram(KARTWERK_EXE, {"slots", "--json"});
  ASSERT_EQ(slots.status, 0) << slots.err;
  const nlohmann::json listing = nlohmann::json::parse(slots.out);
  EXPECT_EQ(listing["game_folder"], platform::TextFromPath(folder));
  EXPECT_EQ(listing["game_version_kind"], 1);
  EXPECT_EQ(listing["slots"][7]["title"],
            "Gr\xC3\xB6\xC3\x9F"
            "e Insel");
  EXPECT_EQ(listing["slots"][8]["occupied"], false);

  const testing::ProgramResult lines = testing::RunProgram(KARTWERK_EXE, {"slots"});
  ASSERT_EQ(lines.status, 0) << lines.err;
  const std::vector<std::string> text = testing::Lines(lines.out);
  ASSERT_EQ(text.size(), 255u);
  EXPECT_EQ(text[7],
            "Map 007: Gr\xC3\xB6\xC3\x9F"
            "e Insel");  // the editor's own bytes, read in its code page as the slot picker reads them
}

TEST(WindowsAssociation, TheEntriesOfEachTypeReadBackFromTheClassRoot) {
  ASSERT_EQ(desktop::TryRegisterMapTypes(), std::nullopt);
  const std::wstring program = platform::ProgramPath().wstring();
  for (const desktop::MapType& type : desktop::kCompiledMapTypes) {
    const std::wstring e = Wide(type.extension);
    const std::wstring description = Wide(core::Cp1252ToUtf8(type.description));
    EXPECT_NE(description.find(L"II\u2122 "), std::wstring::npos) << "the sign 0x99 is U+2122 in the registry";
    EXPECT_EQ(ClassRootDefault(L"." + e), e);
    EXPECT_EQ(ClassRootDefault(e), description);
    EXPECT_EQ(ClassRootDefault(e + L"\\DefaultIcon"), program + L",0");
    EXPECT_EQ(ClassRootDefault(e + L"\\Shell"), L"open");
    EXPECT_EQ(ClassRootDefault(e + L"\\Shell\\open"), L"Convert " + description);
    EXPECT_EQ(ClassRootDefault(e + L"\\Shell\\open\\command"), L"\"" + program + L"\" \"%1\"");
    EXPECT_EQ(ClassRootDefault(e + L"\\Shell\\Default_action"), L"Convert " + description);
    EXPECT_EQ(ClassRootDefault(e + L"\\Shell\\Default_action\\command"), L"\"" + program + L"\" \"%1\"");
  }
  // The same through every entry the program describes, so the two never drift apart.
  for (const desktop::MapType& type : desktop::kCompiledMapTypes) {
    for (const desktop::ClassRootEntry& entry :
         desktop::ClassRootEntries(type, platform::TextFromPath(platform::ProgramPath()))) {
      EXPECT_EQ(Utf8(ClassRootDefault(Wide(entry.key))), entry.value) << entry.key;
    }
  }
}

void SetClassRootDefault(const std::wstring& key, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// A start of a copy that is not the installed one (no App Paths key names it) writes only the types
// that no working program opens; `register` takes them all. What the shell finds for a type is
// read from the class root as the shell reads it.
TEST(WindowsAssociation, AStartTakesOnlyTypesThatNoWorkingProgramOpens) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring cmd = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c type \"%1\"";
  const struct {
    const char* extension;
    std::wstring progId;   // empty: the extension names no class
    std::wstring command;  // the class's open command
    bool works;
    bool takenOnStart;
  } cases[] = {
      {"qdm", L"Other.Map", cmd, true, false},
      {"qdp", L"Gone.Map", L"\"C:\\nowhere\\gone.exe\" \"%1\"", false, true},
      {"qdc", L"", L"", false, true},
  };
  const std::wstring program = L"\"" + platform::ProgramPath().wstring() + L"\" \"%1\"";
  ASSERT_TRUE(desktop::InstalledProgram().empty()) << "the test's prefix has no installed Kartwerk";
  const auto prepare = [&] {
    for (const auto& c : cases) {
      const std::wstring e = Wide(c.extension);
      RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"." + e).c_str());
      RegDeleteTreeW(HKEY_CLASSES_ROOT, e.c_str());
      if (c.progId.empty()) continue;
      SetClassRootDefault(L"." + e, c.progId);
      SetClassRootDefault(c.progId + L"\\shell\\open\\command", c.command);
    }
  };
  prepare();
  for (const auto& c : cases) {
    const desktop::MapTypeHandler handler = desktop::CurrentMapTypeHandler({c.extension, "", ""});
    EXPECT_EQ(Wide(handler.progId), c.progId) << c.extension;
    EXPECT_EQ(handler.works, c.works) << c.extension;
  }
  ASSERT_EQ(desktop::TryRegisterMapTypes(desktop::AssociationRequest::Start), std::nullopt);
  for (const auto& c : cases) {
    const std::wstring e = Wide(c.extension);
    EXPECT_EQ(ClassRootDefault(L"." + e), c.takenOnStart ? e : c.progId) << c.extension;
    if (c.takenOnStart) {
      EXPECT_EQ(ClassRootDefault(e + L"\\Shell\\open\\command"), program) << c.extension;
    }
  }
  EXPECT_EQ(ClassRootDefault(L"Other.Map\\shell\\open\\command"), cmd) << "the other program's class is untouched";
  // `kartwerk register` takes even the working program's type.
  prepare();
  ASSERT_EQ(desktop::TryRegisterMapTypes(desktop::AssociationRequest::Command), std::nullopt);
  for (const auto& c : cases) EXPECT_EQ(ClassRootDefault(L"." + Wide(c.extension)), Wide(c.extension));
  for (const wchar_t* other : {L"Other.Map", L"Gone.Map"}) RegDeleteTreeW(HKEY_CLASSES_ROOT, other);
}

}  // namespace
}  // namespace kartwerk
