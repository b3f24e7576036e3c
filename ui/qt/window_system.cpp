#include "ui/qt/window_system.hpp"

#include <xcb/xcb.h>
#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <string>

#include "ui/qt/qt_application.hpp"

namespace kartwerk::qt {
namespace {

xcb_connection_t* X11Connection() {
  if (qGuiApp == nullptr) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

bool CompositingManagerRuns(xcb_connection_t* connection, int screen) {
  const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
  // Only an existing atom can be a selection somebody owns.
  const ReplyPtr<xcb_intern_atom_reply_t> atom(
      xcb_intern_atom_reply(
          connection, xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr),
      &std::free);
  if (!atom || atom->atom == XCB_ATOM_NONE) return false;
  const ReplyPtr<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr), &std::free);
  return owner && owner->owner != XCB_WINDOW_NONE;
}

}  // namespace

int X11ScreenNumber(std::string_view display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return 0;
  const std::size_t dot = display.find('.', colon);
  if (dot == std::string_view::npos || dot + 1 >= display.size()) return 0;
  int screen = 0;
  for (char c : display.substr(dot + 1)) {
    if (c < '0' || c > '9' || screen > 999) return 0;
    screen = screen * 10 + (c - '0');
  }
  return screen;
}

bool DesktopShowsWindowOpacity() {
  if (qGuiApp == nullptr || !PlatformHasWindowOpacity(QGuiApplication::platformName())) return false;
  xcb_connection_t* connection = X11Connection();
  if (connection == nullptr) return true;  // a platform that always composites
  return CompositingManagerRuns(connection, X11ScreenNumber(qgetenv("DISPLAY").toStdString()));
}

bool DesktopStacksWindows() {
  static const QStringList kStacking = {QStringLiteral("xcb"), QStringLiteral("wayland"), QStringLiteral("windows"),
                                        QStringLiteral("cocoa")};
  return qGuiApp != nullptr && kStacking.contains(QGuiApplication::platformName(), Qt::CaseInsensitive);
}

void FlushWindowSystem() {
  if (xcb_connection_t* connection = X11Connection()) xcb_flush(connection);
}

}  // namespace kartwerk::qt
