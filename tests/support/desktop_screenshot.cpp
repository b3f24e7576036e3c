// The suite's side of the picture requests answered by scripts/test-win32-desktop.sh.
#ifdef _WIN32
#include "tests/support/desktop_screenshot.hpp"

#include <windows.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace kartwerk::testing {
namespace {

constexpr auto kAnswerTime = std::chrono::seconds(30);

// Names become file names on both sides of the exchange, and the script accepts only these.
bool IsPlainName(const std::string& name) {
  if (name.empty() || name.size() > 100) return false;
  for (char c : name) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!plain) return false;
  }
  return true;
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The request appears under its final name only when it is whole: the script never reads half of it.
void WriteRequest(const std::filesystem::path& want, int left, int top, int width, int height) {
  std::filesystem::path part = want;
  part += ".part";
  {
    std::ofstream out(part, std::ios::binary);
    out << left << ' ' << top << ' ' << width << ' ' << height << '\n';
    if (!out.flush()) throw std::runtime_error("cannot write the picture request " + want.filename().string());
  }
  std::filesystem::rename(part, want);
}

double Brightness(const std::string& name, const std::string& answer) {
  std::istringstream in(answer);
  double mean = -1;
  if (!(in >> mean) || mean < 0 || mean > 1) {
    throw std::runtime_error("picture " + name + ": " + answer.substr(0, answer.find_last_not_of("\r\n") + 1));
  }
  return mean;
}

}  // namespace

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The thread's own loop ends on it: it is put back rather than swallowed here.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::optional<std::filesystem::path> ScreenshotsFolder() {
  const DWORD size = GetEnvironmentVariableW(L"KARTWERK_SCREENSHOTS", nullptr, 0);
  if (size <= 1) return std::nullopt;
  std::wstring folder(size, L'\0');
  folder.resize(GetEnvironmentVariableW(L"KARTWERK_SCREENSHOTS", folder.data(), size));
  // The script names its folder as the build machine does; under Wine that machine's root is drive Z:.
  if (folder.front() == L'/') folder.insert(0, L"Z:");
  return std::filesystem::path(folder);
}

std::optional<double> ScreenBrightness(const std::string& name, int left, int top, int width, int height,
                                       const std::function<void()>& pump) {
  if (!IsPlainName(name)) throw std::invalid_argument("a picture name of letters, digits, '-' and '_': " + name);
  if (left < 0 || top < 0 || width <= 0 || height <= 0) {
    throw std::invalid_argument("picture " + name + ": a rectangle on the screen, not " + std::to_string(left) + " " +
                                std::to_string(top) + " " + std::to_string(width) + " " + std::to_string(height));
  }
  const std::optional<std::filesystem::path> folder = ScreenshotsFolder();
  if (!folder) return std::nullopt;

  const std::filesystem::path want = *folder / (name + ".want");
  const std::filesystem::path seen = *folder / (name + ".seen");
  std::filesystem::remove(seen);
  WriteRequest(want, left, top, width, height);

  const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
  while (!std::filesystem::exists(seen)) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::error_code ignored;
      std::filesystem::remove(want, ignored);
      throw std::runtime_error("picture " + name + ": no answer from the script within 30 s");
    }
    pump();
    // Wakes at once for a new message, else looks at the folder again after 10 ms.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  const std::string answer = ReadText(seen);
  std::filesystem::remove(seen);
  return Brightness(name, answer);
}

}  // namespace kartwerk::testing
#endif
