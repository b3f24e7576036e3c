// Where everything sits in the five windows, in client pixels, and their colours and font sizes:
// one table that every face draws from, so the windows look the same whatever draws them.
// Places inside a panel are given in the panel's own coordinates.
#pragma once

#include <cstdint>

namespace kartwerk::logic::layout {

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kValueBlue{0, 0, 255};      // values, list text, buttons, version labels
inline constexpr Colour kFrameGrey{128, 128, 128};  // the one-pixel window frame and the button boxes
inline constexpr Colour kGaugeRed{255, 0, 0};
inline constexpr Colour kGaugeTrough{228, 228, 228};

// "Lucida Sans Unicode" at these pixel sizes (the "X" is bold).
inline constexpr const char* kFontFamily = "Lucida Sans Unicode";
inline constexpr int kFontPixels = 13;
inline constexpr int kPromptFontPixels = 12;

// The banner picture, and its word mark (a face that draws the word itself puts it here).
inline constexpr int kBannerWidth = 415;
inline constexpr int kBannerHeight = 70;
inline constexpr Box kWordMark{32, 18, 200, 30};
inline constexpr int kWordMarkPixels = 22;
inline constexpr Colour kWordMarkColour{58, 92, 140};

namespace browser {
inline constexpr int kWidth = 417, kHeight = 253;
inline constexpr Box kBanner{1, 1, kBannerWidth, kBannerHeight};
inline constexpr Box kTitle{126, 8, 0, 0};  // sized to its text
inline constexpr Box kCloseLabel{399, 7, 0, 0};
inline constexpr Box kMapList{4, 60, 261, 189};
inline constexpr int kMapColumnWidth = 240;
inline constexpr Box kInformationPanel{268, 48, 145, 194};
// In the panel: the category buttons (caption left of the button), captions and values.
inline constexpr Box kSinglePlayer{16, 8, 113, 17};
inline constexpr Box kMultiplayer{16, 32, 113, 17};
inline constexpr Box kCampaigns{16, 56, 113, 17};
inline constexpr Box kInformationCaption{19, 96, 0, 0};
inline constexpr Box kSizeCaption{8, 128, 0, 0};
inline constexpr Box kSchemeCaption{8, 152, 0, 0};
inline constexpr Box kMissionsCaption{8, 176, 0, 0};
// The value column, and how far left a value too wide for it may grow (past the end of "Size:").
inline constexpr int kValueLeft = 80;
inline constexpr int kValueRight = 143;
inline constexpr int kWideValueLeft = 44;
inline constexpr int kValueHeight = 17;
inline constexpr int kSizeValueTop = 128, kSchemeValueTop = 152, kMissionsValueTop = 176;
}  // namespace browser

// The slot picker and the version picker share their top: a white panel holding the banner,
// shifted 20 pixels left, with the title near its foot and the "X" at its right.
namespace banner_panel {
inline constexpr Box kBannerPanel{1, 1, 368, 68};
inline constexpr int kBannerLeft = -20;  // in the panel
inline constexpr Box kCloseLabel{351, 4, 0, 0};
}  // namespace banner_panel

namespace slot_picker {
inline constexpr int kWidth = 370, kHeight = 253;
inline constexpr Box kTitle{23, 50, 321, 17};  // in the top panel, centred
inline constexpr Box kSlotList{4, 70, 362, 179};
inline constexpr int kSlotRowHeight = 16;
inline constexpr Box kProgressPanel{5, 71, 360, 177};
// In the progress panel: captions at the left, values after them, the step centred, the gauge.
inline constexpr int kCaptionLeft = 16;
inline constexpr int kValueLeft = 130;
inline constexpr int kValueWidth = 220;
inline constexpr int kRowHeight = 17;
inline constexpr int kMapTop = 16, kTypeTop = 40, kSchemeTop = 64, kSizeTop = 88;
inline constexpr Box kStepCaption{0, 118, 360, 17};
inline constexpr Box kStepValue{0, 138, 360, 17};
inline constexpr Box kProgressGauge{7, 164, 345, 4};
}  // namespace slot_picker

namespace version_picker {
inline constexpr int kWidth = 370, kHeight = 174;
// The sentence over three lines: the first in the top panel, the others below it.
inline constexpr Box kFirstLine{23, 52, 321, 16};
inline constexpr Box kSecondLine{24, 70, 321, 16};
inline constexpr Box kThirdLine{25, 86, 321, 16};
inline constexpr Box kLabelFrame{4, 112, 362, 59};
// Below the frame, only when more installations exist than labels: the window grows to hold it.
inline constexpr Box kMoreNote{4, 174, 362, 16};
inline constexpr int kMoreNoteExtraHeight = 20;
}  // namespace version_picker

// The notice and the editor prompt: white, a message, and one or two framed buttons.
namespace prompts {
inline constexpr int kWidth = 365;
inline constexpr int kButtonWidth = 97, kButtonHeight = 25;
inline constexpr int kNoticeHeight = 99;
inline constexpr Box kNoticeMessage{10, 8, 345, 41};  // grows downwards for a long message
inline constexpr Box kNoticeExitBox{134, 64, kButtonWidth, kButtonHeight};
inline constexpr Box kNoticeExitLabel{170, 68, 0, 0};
inline constexpr int kEditorPromptHeight = 73;
inline constexpr Box kEditorPromptMessage{43, 8, 280, 16};
inline constexpr Box kYesBox{62, 40, kButtonWidth, kButtonHeight};
inline constexpr Box kYesLabel{99, 44, 0, 0};
inline constexpr Box kExitBox{198, 40, kButtonWidth, kButtonHeight};
inline constexpr Box kExitLabel{234, 44, 0, 0};
}  // namespace prompts

}  // namespace kartwerk::logic::layout
