#include "ui/logic/slot_picker.hpp"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "core/exception_text.hpp"
#include "core/parse_decimal.hpp"
#include "format/map_info.hpp"
#include "game/game_location.hpp"
#include "game/slot_store.hpp"
#include "platform/program_path.hpp"
#include "ui/logic/notice_texts.hpp"

namespace kartwerk::logic {
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

std::string ConversionFailureText(const pipeline::ConversionEnd& end) { return NoticeText(end.FailureText()); }

std::string ReplacedSlotText(const pipeline::ConversionEnd& end, const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& note : notes) text += note + ".\n";
  if (!end.previousContent.empty()) {
    text += "The slot's previous map was moved to \"" + end.previousContent.string() + "\".\n" +
            BackupCommandsText(platform::ProgramPath(), kWindowsCommands);
  }
  return NoticeText(text);
}

void SlotPicker::Open(const std::filesystem::path& map, const WindowFade& opener, bool withOpacity,
                      AfterClose afterClose, bool failuresReturn) {
  mapPath = map;
  afterClose_ = std::move(afterClose);
  failuresReturn_ = failuresReturn;
  fade().CopyFrom(opener, withOpacity);
  Start();
}

void SlotPicker::Warn(std::vector<std::string>& list, const std::string& text) {
  std::lock_guard lock(notesMutex_);
  if (&list == &warnings_) {
    // A badly damaged map warns for every record: the notice lists the first and counts the rest.
    if (++warningCount_ > kNoticeWarnings) return;
  }
  list.push_back(text);
}

bool SlotPicker::StageMap() {
  run_.reset();
  slot_.reset();
  {
    std::lock_guard lock(notesMutex_);
    warnings_.clear();
    warningCount_ = 0;
    slotNotes_.clear();
  }
  pipeline::ConvertRequest request;
  request.mapPath = mapPath;
  request.cliffData = session_.conversion.CliffDataBuffer;
  request.gameVersionKind = session_.conversion.GameVersionKind;
  request.warn = [this](const std::string& text) { Warn(warnings_, text); };
  // The gauge counts what the command line counts: one for each label the steps report.
  request.planned = [this](std::size_t labels) { gaugeMaximum_ = static_cast<int>(std::max<std::size_t>(labels, 1)); };
  request.progress = [this](const std::string& label) {
    session_.WorkerProgress(label);
    face_.PostToWindowThread([this, label] { ShowProgress(label); });
  };
  // The slot is committed (or left as it was) on the worker, before the window hears of the end.
  request.ended = [this](const pipeline::ConversionEnd& end) {
    face_.PostToWindowThread([this, end] { ConversionFinished(end); });
  };
  run_ = std::make_unique<pipeline::MapConversion>(std::move(request));
  if (run_->Stage()) return true;
  CloseWindow(run_->End().ErrorText());
  return false;
}

void SlotPicker::Start() {
  if (FileExists(session_.commandLineMap)) mapPath = session_.commandLineMap;
  if (!FileExists(mapPath)) {
    CloseWindow({});
    return;
  }
  conversionDone_ = false;
  userClosed_ = false;
  end_ = {};
  // A window opened again after a failed map starts from its slot list.
  face_.ShowSlotList(kSlotListTitle);
  panelShown_ = false;

  // The window is shown only once the map could be read: a failure returns to the opener unseen.
  if (!StageMap()) return;

  if (!game::BuildSlotList(session_.installs)) {
    notice_.ShowNotice(GameNotLocatedText(session_.search, session_.installs), fade(), [this] {
      session_.EndProgram(/*fatal=*/true);
      CloseWindow({});
    });
    return;
  }
  std::vector<std::string> rows;
  rows.reserve(game::kSlotCount);
  for (std::size_t slot = 0; slot < game::kSlotCount; ++slot)
    rows.push_back(core::Cp1252ToUtf8(session_.installs.slotList[slot]));
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
  if (row < 0 || row >= static_cast<int>(game::kSlotCount) || (panelShown_ && window_.IsShown()) || userClosed_ ||
      !run_ || run_->Started() || fade().Current() == WindowFade::Fade::Out) {
    return;
  }
  std::string title;
  try {
    const format::Conversion& staged = run_->conversion();
    title = staged.MapKind == format::CampaignMap ? "Campaign " + std::to_string(core::ParseDecimal(staged.MapName))
                                                  : FileNameUtf8(staged.MapName);
  } catch (...) {
    window_.ReportError(core::ExceptionText(std::current_exception()));
    return;
  }
  if (session_.installs.gameVersionKind != format::GameVersionKind::None)
    run_->SetGameVersionKind(session_.installs.gameVersionKind);
  // The conversion writes into a private folder beside the slot; the slot changes only when every
  // step has succeeded.
  slot_ = std::make_unique<pipeline::SlotFolderSink>(game::SlotFolderPath(session_.installs.gameFolder, row),
                                                     pipeline::DefaultBackupFolder(),
                                                     [this](const std::string& note) { Warn(slotNotes_, note); });
  if (!run_->Open(*slot_)) {
    // Refused before anything was written: said, and the map staged again for another choice.
    const std::string refusal = ConversionFailureText(run_->End());
    window_.ReportError(refusal);
    StageMap();
    return;
  }

  gauge_ = 0;
  const format::Conversion& c = run_->conversion();
  face_.ShowProgressPanel(
      kProgressTitle,
      {title, std::string(format::MapKindText(c.MapKind)) + " map",
       std::string(format::TerrainSchemeText(c.MapInfoRecord.TerrainScheme)),
       std::to_string(c.MapInfoRecord.width) + "x" + std::to_string(c.MapInfoRecord.height), gaugeMaximum_});
  panelShown_ = true;
  run_->Start();
  if (run_->Failed()) ConversionFinished(run_->End());  // the worker could not be started
}

void SlotPicker::ShowProgress(const std::string& label) {
  gauge_ = std::min(gauge_ + 1, gaugeMaximum_);
  face_.ShowProgress(label, gauge_);
}

void SlotPicker::ConversionFinished(const pipeline::ConversionEnd& end) {
  // After "X" the closing itself waits for the worker and cleans up.
  if (userClosed_ || conversionDone_) return;
  conversionDone_ = true;
  end_ = end;
  Close();
}

bool SlotPicker::WorkerRunning() const { return run_ && run_->Started() && !conversionDone_; }

void SlotPicker::Close() {
  if (fade().Current() == WindowFade::Fade::Out || !window_.IsShown()) return;
  if (WorkerRunning()) {
    // Stopping takes until the step under way is done; the fade-out runs meanwhile.
    userClosed_ = true;
    run_->RequestStop();
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
    const std::string notice = EndNotice();
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
  if (run_ && run_->Started()) run_->Wait();
  session_.EndProgram();
}

std::string SlotPicker::EndNotice() {
  std::lock_guard lock(notesMutex_);
  const std::string warnings = NoticeText(MapWarningsText(warnings_, warningCount_));
  if (end_.error) {
    const std::string failure = ConversionFailureText(end_);
    return warnings.empty() ? failure : failure + "\n\n" + warnings;
  }
  return warnings + ReplacedSlotText(end_, slotNotes_);
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

}  // namespace kartwerk::logic
