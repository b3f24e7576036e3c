// Shared by the window suites: the application object, waiting on the event loop, mouse
// clicks as the desktop delivers them, and a sample game installation made on disk.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_stream.hpp"
#include "game/explicit_installation.hpp"
#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "tests/support/folder_tree.hpp"
#include "ui/qt/qt_session.hpp"
#include "ui/qt/window_set.hpp"

namespace kartwerk::testing {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "kartwerk_gui_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // The offscreen desktop keeps a window's opacity without showing it, and says so each time.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
      if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
      std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
    });
    auto* created = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return created;
  }();
  return *app;
}

// Runs the event loop until done() holds or the time is up; returns done().
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return done();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  const QPointF local(at);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

// A click as the desktop delivers it: press and release over the middle of the widget.
inline void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
  const QPoint middle(widget->width() / 2, widget->height() / 2);
  SendMouse(widget, QEvent::MouseButtonPress, middle, button);
  SendMouse(widget, QEvent::MouseButtonRelease, middle, button);
}

// A double-click on a row of a list: press, release, double-click, release on the row.
inline void DoubleClickRow(QAbstractItemView* view, const QModelIndex& index) {
  view->scrollTo(index);
  const QPoint at = view->visualRect(index).center();
  QWidget* port = view->viewport();
  SendMouse(port, QEvent::MouseButtonPress, at);
  SendMouse(port, QEvent::MouseButtonRelease, at);
  SendMouse(port, QEvent::MouseButtonDblClick, at);
  SendMouse(port, QEvent::MouseButtonRelease, at);
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The cliff masks the build draws beside the program.
inline std::filesystem::path BuiltCliffData() {
  return std::filesystem::path(KARTWERK_EXE).parent_path() / "cliffdata";
}

// A game installation on disk: the editor's marker and program, slot folders, and maps of every
// category (a single-player map, a beach multiplayer map, a campaign with two missions).
struct SampleGame {
  std::filesystem::path folder;

  explicit SampleGame(const std::filesystem::path& at) : folder(at) {
    WriteText(folder / "editor" / "scridll.dll", "marker");
    WriteText(folder / "editor" / "edit3.exe", "MZ");
    std::filesystem::create_directories(folder / "editor" / "maps.src");
    // Slot 3 holds a map whose title has Windows-1252 letters.
    WriteText(folder / "editor" / "maps.src" / "map.003" / "desc", "D\xFCnen\x99\nsecond line");
    const auto single = folder / "game" / "maps" / "single";
    const auto mplay = folder / "game" / "maps" / "mplay";
    const auto campaign = folder / "game" / "maps" / "campaign";
    for (const auto& f : {single, mplay, campaign}) std::filesystem::create_directories(f);
    WriteMap(single / "frontier.qdm", mapmaker::SampleMainContainer(format::SinglePlayerMap, {1, 0, 32, 24}),
             "frontier");
    WriteMap(single / "Dunes.qdm", mapmaker::SampleMainContainer(format::SinglePlayerMap, {4, 2, 48, 40}), "Dunes");
    WriteMap(mplay / "islands.qdp", mapmaker::SampleMainContainer(format::MultiplayerMap, {2, 1, 40, 36}), "islands");
    const mapmaker::SampleOptions c{3, 1, 48, 32};
    WriteMap(campaign / "007.qdc", mapmaker::SampleMainContainer(format::CampaignMap, c), "007");
    WriteMap(campaign / "007000.qdc", mapmaker::SampleMissionContainer(c, 0), "007000");
    WriteMap(campaign / "007003.qdc", mapmaker::SampleMissionContainer(c, 3), "007003");
  }

  static void WriteMap(const std::filesystem::path& path, const core::Bytes& container, const std::string& stored) {
    mapmaker::WriteBytes(path, mapmaker::Gzip(container, stored, 1262304000));
  }

  std::filesystem::path Single() const { return folder / "game" / "maps" / "single"; }
  std::filesystem::path Mplay() const { return folder / "game" / "maps" / "mplay"; }
  std::filesystem::path Campaign() const { return folder / "game" / "maps" / "campaign"; }
  std::filesystem::path Slot(int n) const { return SlotOf(folder, n); }
  static std::filesystem::path SlotOf(const std::filesystem::path& gameFolder, int n) {
    std::string digits = std::to_string(n);
    digits.insert(0, 3 - digits.size(), '0');
    return gameFolder / "editor" / "maps.src" / ("map." + digits);
  }
};

struct Installation {
  std::filesystem::path folder;
  std::string version;
  std::string language;
};

// A registry holding the game key with one sub-key per installation, in the order given.
inline std::shared_ptr<const game::RegistrySource> RegistryOf(const std::vector<Installation>& installs) {
  auto tree = std::make_shared<game::RegistryTree>();
  tree->CreateKey(std::string(game::kGameKeyPath));
  for (std::size_t i = 0; i < installs.size(); ++i) {
    game::RegistryNode& key = tree->CreateKey(std::string(game::kGameKeyPath) + "\\install" + std::to_string(i + 1));
    key.values["target folder"] = installs[i].folder.string();
    key.values["version"] = installs[i].version;
    key.values["language"] = installs[i].language;
  }
  return std::make_shared<game::TreeRegistrySource>(tree,
                                                    [](std::string_view text) { return std::filesystem::path(text); });
}

// What the windows did outside themselves.
struct Outside {
  int ends = 0;
  int status = -1;  // the exit status the program ended with
  std::vector<QString> errors;
  std::vector<QWidget*> errorOwners;  // the window each error was shown above
  std::vector<logic::EditorLaunch> launches;
  bool editorStarts = true;  // what starting the editor reports
};

// A session wired to record instead of acting, with quick fades unless told otherwise.
inline void WireSession(qt::QtSession& session, Outside& outside, int fadeMs = 1) {
  session.hooks.endProgram = [&outside](int status) {
    ++outside.ends;
    outside.status = status;
  };
  session.hooks.reportError = [&outside](const QString& message, QWidget* owner) {
    outside.errors.push_back(message);
    outside.errorOwners.push_back(owner);
  };
  session.hooks.launchEditor = [&outside](const logic::EditorLaunch& launch) {
    outside.launches.push_back(launch);
    return outside.editorStarts ? std::nullopt : std::optional<std::string>("no such program");
  };
  session.cliffDataFile = BuiltCliffData();
  session.fadeIntervalMs = fadeMs;
  session.desktopHasWindowOpacity = true;
}

}  // namespace kartwerk::testing
