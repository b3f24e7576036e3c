#include "ui/logic/version_picker.hpp"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace kartwerk::logic {

LabelPlace VersionLabelPlace(int count, int i) {
  switch (count) {
    case 1: return {135, 135};
    case 2: return {142 * i - 75, 135};
    case 3: return {100 * i - 65, 135};
    default: break;
  }
  if (i <= 3) return {100 * i - 65, 122};
  if (count == 4) return {135, 146};
  if (count == 5) return {105 * i - 338, 146};
  return {100 * i - 365, 146};
}

std::string MoreInstallationsText(std::size_t count) {
  if (count <= game::kMaxInstalledVersions) return {};
  const std::size_t more = count - game::kMaxInstalledVersions;
  return std::to_string(more) + (more == 1 ? " more installation" : " more installations") +
         ": start Kartwerk with --game DIR";
}

void VersionPicker::Open(const WindowFade& opener, std::function<void()> onChosen) {
  onChosen_ = std::move(onChosen);
  fade().CopyFrom(opener, /*withOpacity=*/true);
  window_.ShowCentred(/*modal=*/true);
  Start();
}

void VersionPicker::Start() {
  closing_ = false;
  const auto& versions = session_.installs.installedVersions;
  labels_.ShowVersionLabels({});
  // The list keeps every installation (a map's folder may choose a later one); six are offered.
  const int n = static_cast<int>(std::min(versions.size(), game::kMaxInstalledVersions));
  std::vector<VersionLabel> labels;
  for (int i = 1; i <= n; ++i) {
    const game::InstalledVersion& entry = versions[static_cast<std::size_t>(i - 1)];
    labels.push_back({i, entry.language + " " + entry.version, VersionLabelPlace(n, i)});
  }
  labels_.ShowVersionLabels(labels);
  labels_.ShowMoreNote(MoreInstallationsText(versions.size()));
  if (!fade().AlphaBlend()) fade().SetOpacity(kFadeShownOpacity);
  fade().StartIn();
}

void VersionPicker::Key(KeyAction key) {
  if (key == KeyAction::Escape) {
    Close();
  } else if (const int focused = labels_.FocusedVersion(); focused > 0) {
    ChooseVersion(focused);
  }
}

void VersionPicker::ChooseVersion(int i) {
  if (fade().Current() == WindowFade::Fade::Out) return;
  if (!fade().AlphaBlend()) {
    window_.Hide();
    fade().SetOpacity(0);
  }
  session_.installs.chosenVersion = static_cast<std::uint8_t>(i);
  fade().StartOut([this] { FadeOutEnd(); });
}

void VersionPicker::Close() {
  if (fade().Current() == WindowFade::Fade::Out) return;
  if (!fade().AlphaBlend()) {
    window_.Hide();
    fade().SetOpacity(0);
  }
  closing_ = true;
  fade().StartOut([this] { FadeOutEnd(); });
}

void VersionPicker::FadeOutEnd() {
  labels_.ShowVersionLabels({});
  window_.Hide();
  if (closing_) {
    session_.EndProgram();
    return;
  }
  std::function<void()> chosen = std::exchange(onChosen_, nullptr);
  if (chosen) chosen();
}

}  // namespace kartwerk::logic
