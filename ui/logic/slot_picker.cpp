#include "ui/logic/slot_picker.hpp"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "convert/writers/map_header_files.hpp"
#include "core/exception_text.hpp"
#include "core/map_info.hpp"
#include "core/parse_decimal.hpp"
#include "core/program_path.hpp"
#include "core/staging.hpp"
#include "install/game_location.hpp"
#include "install/slot_store.hpp"
#include "ui/logic/notice_texts.hpp"

namespace kartwerk {
namespace {

#ifdef _WIN32
constexpr bool kWindowsCommands = true;
#else
constexpr bool kWindowsCommands = false;
#endif

bool FileExists(const std::filesystem::path& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// A sentence for the notice: a capital first letter, and long paths may break after any separator
// (a zero-width space follows each).
std::string NoticeText(const std::string& sentence) {
  std::string text;
  for (const char c : sentence) {
    text += c;
    if (c == '/' || c == '\\') text += "\u200B";
  }
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace

int GaugeMaximum(std::size_t missionFiles) { return 12 * (static_cast<int>(missionFiles) - 1) + 17; }

std::string ConversionFailureText(const ConversionEnd& end) { return NoticeText(end.FailureText()); }

std::string ReplacedSlotText(const ConversionEnd& end, const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& note : notes) text += note + ".\n";
  if (!end.previousContent.empty()) {
    text += "The slot's previous map was moved to \"" + end.previousContent.string() + "\".\n" +
            BackupCommandsText(ProgramPath(), kWindowsCommands);
  }
  return NoticeText(text);
}

void SlotPicker::Open(const std::filesystem::path& mapPath, const WindowFade& opener, bool withOpacity,
                      AfterClose afterClose, bool failuresReturn) {
  MapPath = mapPath;
  afterClose_ = std::move(afterClose);
  failuresReturn_ = failuresReturn;
  fade().CopyFrom(opener, withOpacity);
  FormShow();
}

void SlotPicker::FormShow() {
  Conversion& c = session_.conversion;
  if (FileExists(session_.CommandLineMap)) MapPath = session_.CommandLineMap;
  if (!FileExists(MapPath)) {
    CloseWindow({});
    return;
  }
  worker_ = std::make_unique<TProcessThread>(c);
  conversionDone_ = false;
  userClosed_ = false;
  end_ = {};
  // A window opened again after a failed map starts from its slot list.
  face_.ShowSlotList(kSlotListTitle);
  panelShown_ = false;

  // The window is shown only once the map could be read: a failure returns to the opener unseen.
  try {
    StageMapFile(c, std::filesystem::absolute(MapPath));
  } catch (...) {
    CloseWindow(ExceptionText(std::current_exception()));
    return;
  }

  if (!BuildSlotList(session_.installs)) {
    notice_.ShowNotice(GameNotLocatedText(session_.Search, session_.installs), fade(), [this] {
      session_.EndProgram(/*fatal=*/true);
      CloseWindow({});
    });
    return;
  }
  std::vector<std::string> rows;
  rows.reserve(kSlotCount);
  for (std::size_t slot = 0; slot < kSlotCount; ++slot) rows.push_back(Cp1252ToUtf8(session_.installs.SlotList[slot]));
  face_.ShowSlotRows(rows);

  if (!fade().AlphaBlend()) fade().SetOpacity(kFadeShownOpacity);
  window_.ShowCentred(/*modal=*/true);
  face_.FocusSlotList();
  fade().StartIn();
}

void SlotPicker::Key(KeyAction key) {
  if (key == KeyAction::Enter) {
    ChooseSlot(/*keyboardRow=*/true);
  } else {
    Close();
  }
}

void SlotPicker::ChooseSlot(bool keyboardRow) {
  const int row = face_.SelectedSlot(keyboardRow);
  // No row chosen, a conversion already started, or the window closing: nothing to do.
  if (row < 0 || row >= static_cast<int>(kSlotCount) || (panelShown_ && window_.IsShown()) || userClosed_ || !worker_ ||
      worker_->Started() || fade().Current() == WindowFade::Fade::Out) {
    return;
  }
  Conversion& c = session_.conversion;
  std::string title;
  slotNotes_.clear();
  try {
    // The conversion writes into a private folder beside the slot; the slot changes only when
    // every step has succeeded.
    slot_ = std::make_unique<SlotCommit>(SlotFolderPath(session_.installs.GameFolder, row), DefaultBackupFolder(),
                                         [this](const std::string& note) { slotNotes_.push_back(note); });
    c.SlotFolder = slot_->Folder();
    WriteMapDescFile(c);
    WriteMapInfoFile(c);
    title = c.MapKind == CampaignMap ? "Campaign " + std::to_string(ParseDecimal(c.MapName)) : FileNameUtf8(c.MapName);
  } catch (...) {
    slot_.reset();
    window_.ReportError(ExceptionText(std::current_exception()));
    return;
  }

  gauge_ = 0;
  gaugeMaximum_ = std::max(GaugeMaximum(c.MissionList.size()), 1);
  face_.ShowProgressPanel(
      kProgressTitle,
      {title, std::string(MapKindText(c.MapKind)) + " map",
       std::string(TerrainSchemeText(c.MapInfoRecord.TerrainScheme)),
       std::to_string(c.MapInfoRecord.width) + "x" + std::to_string(c.MapInfoRecord.height), gaugeMaximum_});
  panelShown_ = true;

  if (session_.installs.GameVersionKind != 0) c.GameVersionKind = session_.installs.GameVersionKind;
  worker_->SetProgressHandler([this](const std::string& label) {
    session_.WorkerProgress(label);
    face_.PostToWindowThread([this, label] { ShowProgress(label); });
  });
  // The slot is committed (or left as it was) on the worker, before the window hears of the end.
  worker_->SetEndHandler([this](ConversionEnd end) {
    FinishSlot(*slot_, end);
    face_.PostToWindowThread([this, end] { ConversionFinished(end); });
  });
  worker_->Start();
}

void SlotPicker::ShowProgress(const std::string& label) {
  gauge_ = std::min(gauge_ + 1, gaugeMaximum_);
  face_.ShowProgress(label, gauge_);
}

void SlotPicker::ConversionFinished(const ConversionEnd& end) {
  // After "X" the closing itself waits for the worker and cleans up.
  if (userClosed_ || conversionDone_) return;
  conversionDone_ = true;
  end_ = end;
  Close();
}

bool SlotPicker::WorkerRunning() const { return worker_ && worker_->Started() && !conversionDone_; }

void SlotPicker::Close() {
  if (fade().Current() == WindowFade::Fade::Out || !window_.IsShown()) return;
  if (WorkerRunning()) {
    // Stopping takes until the step under way is done; the fade-out runs meanwhile.
    userClosed_ = true;
    worker_->RequestStop();
  }
  if (!fade().AlphaBlend()) {
    window_.Hide();
    fade().SetOpacity(0);
  }
  fade().StartOut([this] { FadeOutEnd(); });
}

void SlotPicker::FadeOutEnd() {
  window_.Hide();
  if (conversionDone_) {
    conversionDone_ = false;
    session_.NoteConversion(!end_.error);
    const std::string notice = end_.error ? ConversionFailureText(end_) : ReplacedSlotText(end_, slotNotes_);
    if (end_.error && failuresReturn_) {
      CloseWindow(notice);
    } else if (!notice.empty()) {
      notice_.ShowNotice(
          notice, fade(), [this] { ShowEditorPrompt(); }, kNoticeNextLabel);
    } else {
      ShowEditorPrompt();
    }
    return;
  }
  if (worker_ && worker_->Started()) worker_->Wait();
  session_.EndProgram();
}

void SlotPicker::ShowEditorPrompt() {
  EditorPrompt& prompt = face_.MakeEditorPrompt();
  prompt.Open(fade(), [this, &prompt] {
    // "YES" that could not start the editor says why before the program ends.
    if (prompt.EditorStartFailure().empty()) {
      session_.EndProgram();
    } else {
      // The converted map is in its slot, but what the user asked for did not happen: status 1.
      notice_.ShowNotice(prompt.EditorStartFailure(), prompt.Fading(), [this] { session_.EndProgram(/*fatal=*/true); });
    }
  });
}

void SlotPicker::CloseWindow(const std::string& failure) {
  window_.Hide();
  AfterClose after = std::exchange(afterClose_, nullptr);
  if (after) after(failure);
}

}  // namespace kartwerk
