// The slot picker and progress window's logic. Opened for one map (by the browser, or at once for
// a map named on the command line), it stages the map, lists the editor's 255 slots and, on a
// double-click, opens the conversion into the slot (the same checks, "desc" and "info" and
// progress count as every other conversion), switches to its progress panel and starts the
// worker. When the worker has ended it fades out, says which step failed if one did and what the
// map's damage cost, offers to start the editor, and ends the program.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pipeline/conversion_worker.hpp"
#include "pipeline/run_conversion.hpp"
#include "pipeline/slot_commit.hpp"
#include "ui/logic/prompts.hpp"
#include "ui/logic/window_face.hpp"

namespace kartwerk::logic {

// The notice shown before the editor prompt when a step failed (UTF-8).
std::string ConversionFailureText(const pipeline::ConversionEnd& end);

// The notice shown before the editor prompt when the slot held a map before: where it went (and
// what was settled of an interrupted conversion). Empty when there is nothing to say.
std::string ReplacedSlotText(const pipeline::ConversionEnd& end, const std::vector<std::string>& notes);

inline constexpr const char* kSlotListTitle = "Select an editor slot to decompile map into";
inline constexpr const char* kProgressTitle = "Kartwerk for Vornmark II\u2122";

// What the progress panel shows of the map being converted.
struct ProgressPanel {
  std::string map;     // the map's name, or "Campaign N"
  std::string type;    // "Singleplayer map", ...
  std::string scheme;  // the terrain scheme
  std::string size;    // "WxH"
  int gaugeMaximum = 1;
};

class SlotPickerFace {
 public:
  virtual ~SlotPickerFace() = default;
  // The slot list under its title, the progress panel hidden.
  virtual void ShowSlotList(const std::string& title) = 0;
  virtual void ShowSlotRows(const std::vector<std::string>& rows) = 0;
  virtual void FocusSlotList() = 0;
  // The selected row, or -1. With keyboardRow, the row the keyboard stands on is selected first
  // when none is (Enter chooses it, even before an arrow key has selected it).
  virtual int SelectedSlot(bool keyboardRow) = 0;
  // The progress panel over the list, its title, the map's facts, the gauge at 0 and no step.
  virtual void ShowProgressPanel(const std::string& title, const ProgressPanel& panel) = 0;
  virtual void ShowProgress(const std::string& label, int gauge) = 0;
  // Runs call on the window's thread (the worker's reports and end cross over with it); a call
  // posted to a window that no longer exists is dropped.
  virtual void PostToWindowThread(std::function<void()> call) = 0;
  // Makes the editor prompt, owned by this window.
  virtual EditorPrompt& MakeEditorPrompt() = 0;
};

class SlotPicker : public WindowLogic {
 public:
  using AfterClose = std::function<void(const std::string& failure)>;

  SlotPicker(WindowSession& session, WindowFace& window, SlotPickerFace& face, Notice& notice)
      : WindowLogic(session, window), face_(face), notice_(notice) {}

  // Shows the window modally for the map at mapPath (the command-line map takes its place when
  // there is one), with the opener's alpha-blending switch (and opacity when withOpacity).
  // afterClose runs when the window closes without ending the program itself: with the failure's
  // text when the map could not be read (and, if failuresReturn, when a step of its conversion
  // failed), with an empty text otherwise (nothing to convert, game not located).
  void Open(const std::filesystem::path& mapPath, const WindowFade& opener, bool withOpacity, AfterClose afterClose,
            bool failuresReturn);
  void Start();
  // A double-click on a slot row: the conversion opened into the slot, the panel, the worker. A
  // refusal (the slot folder may not be replaced, the map is too large for the ceiling or the
  // disk) is reported and leaves the list on show for another choice.
  void ChooseSlot(bool keyboardRow = false);
  // "X": fades out and ends the program; during a conversion the worker is asked to stop first.
  void Close();
  // Enter chooses the slot, Escape is "X".
  void Key(KeyAction key) override;
  // The worker's step reports and end, on the window's thread.
  void ShowProgress(const std::string& label);
  void ConversionFinished(const pipeline::ConversionEnd& end);

  bool ConversionDone() const { return conversionDone_; }
  // The conversion of the map on show; null before a map has been opened.
  const pipeline::MapConversion* run() const { return run_.get(); }

  std::filesystem::path mapPath;

 private:
  // A new conversion of mapPath, staged; false (with the window closed) when the map cannot be read.
  bool StageMap();
  void Warn(std::vector<std::string>& list, const std::string& text);
  // The notice before the editor prompt: a failure or where the slot's map went, and the warnings.
  std::string EndNotice();
  void CloseWindow(const std::string& failure);
  void FadeOutEnd();
  void ShowEditorPrompt();
  bool WorkerRunning() const;

  SlotPickerFace& face_;
  Notice& notice_;
  std::unique_ptr<pipeline::SlotFolderSink> slot_;  // the chosen slot, written whole or not at all
  AfterClose afterClose_;
  bool failuresReturn_ = false;
  bool conversionDone_ = false;
  bool panelShown_ = false;
  int gauge_ = 0;
  int gaugeMaximum_ = 1;
  // Filled on the window's thread and the worker's alike.
  std::mutex notesMutex_;
  std::vector<std::string> slotNotes_;  // what was found and settled beside the slot
  std::vector<std::string> warnings_;   // what the conversion repaired in the map
  std::size_t warningCount_ = 0;
  pipeline::ConversionEnd end_;
  bool userClosed_ = false;  // "X" before the worker's end
  // Last, so that it goes first: its destruction stops and joins the worker while the slot, the
  // notes and the faces its handlers use still exist.
  std::unique_ptr<pipeline::MapConversion> run_;
};

}  // namespace kartwerk::logic
