// Starting a program on Windows (under Wine in the tests) with its output captured: the
// arguments are quoted as the C runtime splits them again, and the wide APIs carry every name.
#ifdef _WIN32
#include <windows.h>

#include <stdexcept>
#include <thread>

#include "platform/path_text.hpp"
#include "tests/support/run_program.hpp"

namespace kartwerk::testing {
namespace {

std::wstring Wide(const std::string& utf8) { return platform::PathFromText(utf8).wstring(); }

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// The current environment with extraEnv's NAME=value entries replacing or adding, as a block.
std::wstring EnvironmentBlock(const std::vector<std::string>& extraEnv) {
  std::vector<std::wstring> entries;
  if (LPWCH current = GetEnvironmentStringsW()) {
    for (LPWCH p = current; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsW(current);
  }
  for (const std::string& extra : extraEnv) {
    const std::wstring entry = Wide(extra);
    const std::wstring key = entry.substr(0, entry.find(L'=') + 1);
    std::erase_if(entries, [&](const std::wstring& e) { return _wcsnicmp(e.c_str(), key.c_str(), key.size()) == 0; });
    entries.push_back(entry);
  }
  std::wstring block;
  for (const std::wstring& e : entries) block += e + L'\0';
  return block + L'\0';
}

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  // Console programs end their lines with "\r\n" here; the tests compare lines as on Linux.
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
    throw std::runtime_error("CreatePipe failed");
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine = Quoted(Wide(program));
  for (const std::string& a : args) commandLine += L" " + Quoted(Wide(a));
  std::wstring environment = EnvironmentBlock(extraEnv);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                      environment.data(), nullptr, &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (!started) {
    CloseHandle(outRead);
    CloseHandle(errRead);
    throw std::runtime_error("cannot start " + program + ": error " + std::to_string(GetLastError()));
  }
  ProgramResult result;
  std::thread errReader([&] { result.err = ReadAll(errRead); });
  result.out = ReadAll(outRead);
  errReader.join();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  result.status = static_cast<int>(code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}

ProgramResult RunOnTerminal(const std::string&, const std::vector<std::string>&) {
  throw std::runtime_error("no pseudo-terminal on Windows");
}

}  // namespace kartwerk::testing
#endif
