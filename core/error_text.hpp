// Why a file or folder operation failed, in the system's own words, as a message gives it after
// the file's or folder's name: the C library's words on Linux ("Permission denied"), Windows' own
// on Windows ("Access is denied"), in UTF-8, without a closing full stop or line end.
#pragma once

#include <string>
#include <system_error>

namespace kartwerk::core {

// The reason error stands for. On Windows a code of the system category is a Windows error code,
// and one of the generic category (the C library's number, which std::filesystem and the C
// streams report) is read as the Windows error the C library made it from; Windows words it
// (FormatMessage). Anything Windows has no words for keeps the library's own text.
std::string ErrorText(const std::error_code& error);

// The error of the file call that has just failed: errno, or on Windows the thread's last error,
// where the C library's file functions leave Windows' own reason (a C library number says less:
// a missing folder and a missing file are one number).
std::error_code LastFileError();

// The failure of the std::filesystem call just made, as the system reported it. On Windows the
// library reduces many failures to a C library number (every failed rename but a refused one
// reads "input/output error") while the thread's last error still holds Windows' reason; with
// ClearLastFileError before the call, that reason is taken. Elsewhere reported itself.
std::error_code FileSystemError(const std::error_code& reported);

// Clears what LastFileError and FileSystemError read, before a call that may fail without saying why.
void ClearLastFileError();

}  // namespace kartwerk::core
