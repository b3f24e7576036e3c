// A stand-in for the game's editor (edit3.exe), built for Windows: it records how it was
// started (its working folder, then each argument, one per line, in UTF-8) in the file
// "edit3-started.txt" beside itself, and exits. The launch tests read that file.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

int main() {
  wchar_t folder[MAX_PATH * 4];
  GetCurrentDirectoryW(MAX_PATH * 4, folder);
  std::string record = Utf8(folder) + "\n";
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; i < count; ++i) record += Utf8(arguments[i]) + "\n";

  std::wstring target(MAX_PATH * 4, L'\0');
  target.resize(GetModuleFileNameW(nullptr, target.data(), static_cast<DWORD>(target.size())));
  target = target.substr(0, target.find_last_of(L'\\') + 1) + L"edit3-started.txt";
  // Written under another name and renamed, so a reader never sees half a record.
  const std::wstring partial = target + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
  return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
