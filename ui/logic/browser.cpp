#include "ui/logic/browser.hpp"

#include <exception>
#include <system_error>

#include "convert/records/cliff_data.hpp"
#include "core/exception_text.hpp"
#include "format/map_info.hpp"
#include "game/game_location.hpp"
#include "game/slot_store.hpp"
#include "platform/path_lookup.hpp"
#include "ui/logic/map_catalog.hpp"
#include "ui/logic/notice_texts.hpp"

namespace kartwerk::logic {
namespace {

bool IsFile(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

}  // namespace

void Browser::Prepare() {
  platform_ = ClassifyPlatform(session_.platform);
  if (!WindowsFade(platform_, session_.desktopHasWindowOpacity)) {
    fade().SetAlphaBlend(false);
    fade().SetOpacity(kFadeShownOpacity);
  }
}

void Browser::Start() {
  WindowSession& s = session_;
  closing_ = false;
  game::EnumerateInstallations(s.installs);

  // "cliffdata" beside the program; a file that is there but cannot be read is as good as missing.
  try {
    if (!IsFile(s.cliffDataFile)) throw records::CliffDataError("missing");
    s.conversion.CliffDataBuffer = records::LoadCliffData(s.cliffDataFile);
  } catch (const std::exception&) {
    ShowFatalNotice(kMissingCliffDataMessage);
    return;
  }

  if (IsFile(s.commandLineMap)) {
    if (s.installs.installedVersions.size() > 1) {
      game::ChooseInstallationForMap(s.installs, std::filesystem::absolute(s.commandLineMap));
    }
    // The browser itself stays unseen; the slot picker converts the file and the program ends.
    slotPicker_.Open(
        s.commandLineMap, fade(), /*withOpacity=*/false,
        [this](const std::string& failure) {
          // Nothing to show after the error: a map named on the command line ends the program.
          if (!failure.empty()) session_.ReportErrorAlone(failure);
          session_.EndProgram(/*fatal=*/!failure.empty());
        },
        /*failuresReturn=*/false);
    return;
  }

  if (s.installs.installedVersions.size() > 1) {
    versionPicker_.Open(fade(), [this] { ContinueStart(); });
    return;
  }
  ContinueStart();
}

void Browser::ContinueStart() {
  WindowSession& s = session_;
  if (!game::BuildSlotList(s.installs)) {
    if (s.installs.installedVersions.size() > 1 && s.installs.chosenVersion > 0) {
      // An installation chosen in the version picker without its editor: choose again.
      versionPicker_.Open(fade(), [this] { ContinueStart(); });
      versionPicker_.ReportError(NoEditorInInstallationText(s.installs));
      return;
    }
    ShowFatalNotice(GameNotLocatedText(s.search, s.installs));
    return;
  }
  face_.ShowCategory(format::SinglePlayerMap);
  ChooseCategory(format::SinglePlayerMap);
  window_.ShowCentred(/*modal=*/false);
  fade().StartIn();
  face_.FocusMapList();
}

void Browser::ShowFatalNotice(const std::string& message) {
  notice_.ShowNotice(message, fade(), [this] { session_.EndProgram(/*fatal=*/true); });
}

void Browser::Key(KeyAction key) {
  if (key == KeyAction::Enter) {
    OpenSelected(/*keyboardRow=*/true);
  } else {
    Close();
  }
}

void Browser::ChooseCategory(format::MapKindCode kind) {
  const MapCategory& category = CategoryOf(kind);
  category_ = kind;
  session_.conversion.MapKind = kind;
  categoryFolder_ = CategoryFolder(session_.installs.gameFolder, category);
  session_.conversion.MapFolder = categoryFolder_;

  captions_ = CategoryRows(categoryFolder_, category);
  std::vector<MapRow> rows;
  rows.reserve(captions_.size());
  for (const std::string& caption : captions_) rows.push_back({caption, FileNameUtf8(caption)});
  face_.ShowMapRows(rows);
}

std::filesystem::path Browser::MapFile(const std::string& caption) const {
  const auto extension = CategoryOf(session_.conversion.MapKind).extension;
  return caption.empty() ? std::filesystem::path()
                         : platform::ResolveIgnoringCase(categoryFolder_, caption + std::string(extension));
}

void Browser::ShowSelected() {
  try {
    ShowSelectedMapInformation();
  } catch (...) {
    // The browser stays open; the information says the map cannot be read.
    window_.ReportError(core::ExceptionText(std::current_exception()));
  }
}

void Browser::ShowSelectedMapInformation() {
  const int row = face_.SelectedMap(false);
  if (row < 0 || row >= static_cast<int>(captions_.size())) return;
  format::Conversion& c = session_.conversion;
  const std::string& caption = captions_[static_cast<std::size_t>(row)];

  c.MissionList.clear();
  if (c.MapKind == format::CampaignMap) c.MissionList = CampaignFiles(categoryFolder_, caption);
  c.MapName = caption + std::string(CategoryOf(c.MapKind).extension);

  // Only the start of the map is decompressed, into memory: the information lies in its first bytes.
  const std::filesystem::path file = platform::ResolveIgnoringCase(categoryFolder_, c.MapName);
  MapHeader header;
  try {
    header = ReadMapHeader(file, category_ == format::MultiplayerMap ? format::MultiplayerMap : c.MapKind);
  } catch (...) {
    // Never the previous map's values beside this map's name; the error is reported as well.
    c.MapInfoRecord = {};
    face_.ShowMapInformation({kUnreadableMapText, "", "", core::ExceptionText(std::current_exception())});
    throw;
  }
  c.MapInfoRecord = header.information;
  if (!header.problem.empty()) {
    // A map cut short reads as zeros: "0x0" would pass for a real map.
    face_.ShowMapInformation({kUnreadableMapText, "", "", header.problem});
    return;
  }

  face_.ShowMapInformation({std::to_string(c.MapInfoRecord.width) + "x" + std::to_string(c.MapInfoRecord.height),
                            std::string(format::TerrainSchemeText(c.MapInfoRecord.TerrainScheme)),
                            c.MapKind == format::CampaignMap
                                ? std::to_string(static_cast<long long>(c.MissionList.size()) - 1)
                                : std::string("1"),
                            std::string()});
}

void Browser::OpenSelected(bool keyboardRow) {
  if (face_.SelectedMap(keyboardRow) < 0 || fade().Current() == WindowFade::Fade::Out || closing_) return;
  if (!fade().AlphaBlend()) {
    window_.Hide();
    fade().SetOpacity(0);
  }
  fade().StartOut([this] { OpenSelectedMap(); });
}

void Browser::OpenSelectedMap() {
  try {
    // Once more, so that the name, missions and information describe the map being opened.
    ShowSelectedMapInformation();
  } catch (...) {
    ReturnToList(core::ExceptionText(std::current_exception()));
    return;
  }
  // Hidden while the slot picker works: a faded-out window would still take the mouse.
  window_.Hide();
  const std::filesystem::path mapPath = platform::ResolveIgnoringCase(categoryFolder_, session_.conversion.MapName);
  slotPicker_.Open(
      mapPath, fade(), /*withOpacity=*/true,
      [this](const std::string& failure) {
        // A map that failed (unreadable, or a step of its conversion) leaves the choice of another;
        // the slot picker's other ways out end the program.
        if (failure.empty()) {
          session_.EndProgram();
        } else {
          session_.NoteConversion(false);
          ReturnToList(failure);
        }
      },
      /*failuresReturn=*/true);
}

void Browser::ReturnToList(const std::string& failure) {
  window_.ShowCentred(/*modal=*/false);
  if (!fade().AlphaBlend()) fade().SetOpacity(kFadeShownOpacity);
  fade().StartIn();
  face_.FocusMapList();
  window_.ReportError(failure);
}

void Browser::Close() {
  if (fade().Current() == WindowFade::Fade::Out) return;
  closing_ = true;
  if (!fade().AlphaBlend()) fade().SetOpacity(0);
  fade().StartOut([this] {
    window_.Hide();
    session_.EndProgram();
  });
}

}  // namespace kartwerk::logic
