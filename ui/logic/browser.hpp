// The map browser's logic, the program's main window. Its start (Start) is the program's start
// sequence: the installations, "cliffdata", a map named on the command line (straight to the slot
// picker), the version picker when several installations exist, the game's slots. Then it lists
// the game's maps by category, shows the selected map's size, scheme and missions, and hands a
// double-clicked map to the slot picker.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "format/map_kind.hpp"
#include "ui/logic/fade_steps.hpp"
#include "ui/logic/prompts.hpp"
#include "ui/logic/slot_picker.hpp"
#include "ui/logic/version_picker.hpp"
#include "ui/logic/window_face.hpp"

namespace kartwerk::logic {

inline constexpr const char* kMissingCliffDataMessage =
    "Missing file named cliffdata, \n\rPlease reinstall Kartwerk to restore the missing file.";

// One row of the map list: the file name it stands for (the file system's bytes, without the
// extension) and its text for the window.
struct MapRow {
  std::string caption;
  std::string text;  // UTF-8
};

// The selected map's information, as the panel shows it.
struct MapInformationText {
  std::string size;  // "WxH", or kUnreadableMapText
  std::string scheme;
  std::string missions;
  std::string problem;  // why the map cannot be read, for the tooltip; empty when it can
};

// What the information says in place of the size for a map that cannot be read.
inline constexpr const char* kUnreadableMapText = "cannot be read";

class BrowserFace {
 public:
  virtual ~BrowserFace() = default;
  // Marks the category's button as the chosen one.
  virtual void ShowCategory(format::MapKindCode kind) = 0;
  // Replaces the rows without announcing a selection; the information keeps its old text.
  virtual void ShowMapRows(const std::vector<MapRow>& rows) = 0;
  // The selected row's index, or -1. With keyboardRow, the row the keyboard stands on is
  // selected first when none is.
  virtual int SelectedMap(bool keyboardRow) = 0;
  virtual void ShowMapInformation(const MapInformationText& information) = 0;
  virtual void FocusMapList() = 0;
};

class Browser : public WindowLogic {
 public:
  Browser(WindowSession& session, WindowFace& window, BrowserFace& face, SlotPicker& slotPicker, Notice& notice,
          VersionPicker& versionPicker)
      : WindowLogic(session, window),
        face_(face),
        slotPicker_(slotPicker),
        notice_(notice),
        versionPicker_(versionPicker) {}

  // Created: the platform check that decides whether windows fade.
  void Prepare();
  // The start sequence.
  void Start();
  void ChooseCategory(format::MapKindCode kind);
  // A click on a row, or a new selection: shows the selected map's information.
  void ShowSelected();
  // A double-click: fades out and hands the selected map to the slot picker.
  void OpenSelected(bool keyboardRow = false);
  // "X".
  void Close();
  // Enter opens the row the keyboard stands on, Escape is "X".
  void Key(KeyAction key) override;

  PlatformClass ClassifiedPlatform() const { return platform_; }
  // The map file a row's caption stands for in the category on show.
  std::filesystem::path MapFile(const std::string& caption) const;

 private:
  void ContinueStart();
  // The selection handler's work; throws what reading the map throws.
  void ShowSelectedMapInformation();
  void OpenSelectedMap();
  void ShowFatalNotice(const std::string& message);
  // Shows the list again, with the failure of the map that was opened above it.
  void ReturnToList(const std::string& failure);

  BrowserFace& face_;
  SlotPicker& slotPicker_;
  Notice& notice_;
  VersionPicker& versionPicker_;
  PlatformClass platform_ = PlatformClass::Unknown;
  bool closing_ = false;
  format::MapKindCode category_ = format::SinglePlayerMap;
  std::filesystem::path categoryFolder_;
  std::vector<std::string> captions_;
};

}  // namespace kartwerk::logic
