#include "desktop/association.hpp"

#include <exception>
#include <system_error>

#include "core/exception_text.hpp"
#include "platform/program_path.hpp"

#ifdef _WIN32
#include "desktop/map_type_registry_win32.hpp"
#include "desktop/map_types.hpp"
#else
#include "desktop/system_desktop_entry.hpp"
#include "desktop/xdg_association.hpp"
#include "game/user_folders.hpp"
#endif

namespace kartwerk::desktop {

std::optional<std::filesystem::path> SystemWideAssociation() {
#ifdef _WIN32
  return std::nullopt;
#else
  try {
    return SystemDesktopEntryForMapTypes(SystemDataFolders());
  } catch (const std::exception&) {
    return std::nullopt;
  }
#endif
}

#ifdef _WIN32
namespace {

bool IsInstalledCopy(const std::filesystem::path& program) {
  const std::filesystem::path installed = InstalledProgram();
  std::error_code ec;
  return !installed.empty() && std::filesystem::equivalent(installed, program, ec);
}

}  // namespace
#endif

std::optional<std::string> TryRegisterMapTypes([[maybe_unused]] AssociationRequest request) {
  try {
    if (SystemWideAssociation()) return std::nullopt;
    const std::filesystem::path program = platform::ProgramPath();
#ifdef _WIN32
    const bool installed = IsInstalledCopy(program);
    for (const MapType& type : kCompiledMapTypes) {
      if (TakesMapType(request, installed, type.extension, CurrentMapTypeHandler(type))) RegisterMapType(type, program);
    }
#else
    InstallXdgAssociation(game::UserDataHome(), program);
#endif
    return std::nullopt;
  } catch (...) {
    return core::ExceptionText(std::current_exception());
  }
}

bool RegisterMapTypes(std::ostream& errors, AssociationRequest request) {
  const std::optional<std::string> failure = TryRegisterMapTypes(request);
  if (!failure) return true;
  errors << "kartwerk: could not register the map file types: " << *failure << "\n";
  return false;
}

}  // namespace kartwerk::desktop
