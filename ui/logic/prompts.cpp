#include "ui/logic/prompts.hpp"

#include <utility>

#include "game/game_location.hpp"

namespace kartwerk::logic {

void Prompt::Open(const WindowFade& opener, std::function<void()> afterClose) {
  fade().CopyFrom(opener, /*withOpacity=*/true);
  Open(std::move(afterClose));
}

void Prompt::Open(std::function<void()> afterClose) {
  afterClose_ = std::move(afterClose);
  window_.ShowCentred(/*modal=*/true);
  Start();
}

void Prompt::Start() { fade().StartIn(); }

void Prompt::Exit() {
  if (fade().Current() == WindowFade::Fade::Out || !window_.IsShown()) return;  // already closing
  if (!fade().AlphaBlend()) fade().SetOpacity(0);
  FadeOutAndClose();
}

void Prompt::Key(KeyAction) { Exit(); }

void Prompt::FadeOutAndClose() {
  fade().StartOut([this] {
    window_.Hide();
    std::function<void()> after = std::exchange(afterClose_, nullptr);
    if (after) after();
  });
}

void Notice::ShowNotice(const std::string& message, const WindowFade& opener, std::function<void()> afterClose,
                        const std::string& buttonLabel) {
  message_.ShowMessage(message);
  message_.ShowButtonLabel(buttonLabel);
  Open(opener, std::move(afterClose));
}

void EditorPrompt::Yes() {
  if (fade().Current() == WindowFade::Fade::Out || !window_.IsShown()) return;
  // No hiding here, even with alpha blending off: the prompt stays for its fade-out.
  FadeOutAndClose();
  const game::GameInstallations& installs = session_.installs;
  // The editor runs in the prefix the located game is registered in (Proton's, Lutris's, ...).
  const std::filesystem::path prefix = installs.gameWinePrefix.empty() ? session_.winePrefix : installs.gameWinePrefix;
  editorStartFailure_ =
      session_.StartEditor({game::GamePath(installs, "editor\\edit3.exe"), game::GamePath(installs, "editor"), prefix});
}

void EditorPrompt::Key(KeyAction key) {
  if (key == KeyAction::Enter) {
    Yes();
  } else {
    Exit();
  }
}

}  // namespace kartwerk::logic
