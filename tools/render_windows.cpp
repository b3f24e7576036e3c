// Renders every window of the program in its main states to PNG files, on the offscreen
// platform, so the windows can be looked at without a desktop:
//
//   window_renderer OUT_FOLDER CLIFFDATA
//
// The windows run their real flows against a sample game installation made in a scratch folder:
// the browser with a selected map, the slot picker's list, its progress panel half-way, the
// version picker with 2, 5, 6 and 9 installations (six offered, a line for the others), the notice
// window (the fatal notices and a failed step, a replaced slot) and the editor prompt.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "desktop/startup.hpp"
#include "format/section_directory.hpp"
#include "game/explicit_installation.hpp"
#include "game/game_location.hpp"
#include "game/registry_tree.hpp"
#include "mapmaker/map_builder.hpp"
#include "mapmaker/sample_maps.hpp"
#include "ui/qt/window_set.hpp"
#include "ui/qt/window_system.hpp"

namespace kw = kartwerk;
namespace kq = kartwerk::qt;
namespace fs = std::filesystem;

namespace {

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

bool Settled(const kq::WindowBase& window) { return window.isVisible() && !window.FadeTimer()->isActive(); }

void Save(QWidget& window, const fs::path& file) {
  const QPixmap picture = window.grab();
  if (!picture.save(QString::fromStdString(file.string()), "PNG")) {
    std::fprintf(stderr, "window_renderer: cannot write %s\n", file.string().c_str());
    std::exit(1);
  }
  std::printf("%s\n", file.string().c_str());
}

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "window_renderer: %s did not happen\n", what);
    std::exit(1);
  }
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  kw::mapmaker::WriteBytes(path, kw::core::Bytes(text.begin(), text.end()));
}

// A game folder with the editor's marker, two occupied slots and maps of every category.
fs::path MakeGame(const fs::path& folder) {
  using kw::mapmaker::Gzip;
  using kw::mapmaker::SampleMainContainer;
  using kw::mapmaker::SampleMissionContainer;
  WriteFile(folder / "editor" / "scridll.dll", "marker");
  WriteFile(folder / "editor" / "maps.src" / "map.001" / "desc", "Frontier river crossing");
  WriteFile(folder / "editor" / "maps.src" / "map.003" / "desc", "D\xFCnen\x99");
  const fs::path maps = folder / "game" / "maps";
  fs::create_directories(maps / "single");
  fs::create_directories(maps / "mplay");
  fs::create_directories(maps / "campaign");
  auto write = [](const fs::path& path, const kw::core::Bytes& body, const std::string& stored) {
    kw::mapmaker::WriteBytes(path, kartwerk::mapmaker::Gzip(body, stored, 1262304000));
  };
  write(maps / "single" / "frontier.qdm",
        kartwerk::mapmaker::SampleMainContainer(kw::format::SinglePlayerMap, {1, 0, 32, 24}), "frontier");
  write(maps / "single" / "Dunes.qdm",
        kartwerk::mapmaker::SampleMainContainer(kw::format::SinglePlayerMap, {4, 2, 48, 40}), "Dunes");
  write(maps / "single" / "Northern Pass.qdm",
        kartwerk::mapmaker::SampleMainContainer(kw::format::SinglePlayerMap, {5, 1, 64, 64}), "Northern");
  write(maps / "mplay" / "islands.qdp",
        kartwerk::mapmaker::SampleMainContainer(kw::format::MultiplayerMap, {2, 1, 40, 36}), "islands");
  const kw::mapmaker::SampleOptions c{3, 1, 48, 32};
  write(maps / "campaign" / "007.qdc", kartwerk::mapmaker::SampleMainContainer(kw::format::CampaignMap, c), "007");
  write(maps / "campaign" / "007000.qdc", kartwerk::mapmaker::SampleMissionContainer(c, 0), "007000");
  write(maps / "campaign" / "007003.qdc", kartwerk::mapmaker::SampleMissionContainer(c, 3), "007003");
  return folder;
}

std::shared_ptr<const kw::game::RegistrySource> RegistryOf(const std::vector<fs::path>& folders) {
  static const char* kLanguages[] = {"English",
                                     "Deutsch",
                                     "Fran\xC3\xA7"
                                     "ais",
                                     "Polski",
                                     "Espa\xC3\xB1ol",
                                     "Italiano"};
  static const char* kVersions[] = {"2.2", "1.9", "2.0", "2.2", "2.0", "1.9"};
  auto tree = std::make_shared<kw::game::RegistryTree>();
  for (std::size_t i = 0; i < folders.size(); ++i) {
    kw::game::RegistryNode& key = tree->CreateKey(std::string(kw::game::kGameKeyPath) + "\\" + std::to_string(i + 1));
    key.values["target folder"] = folders[i].string();
    key.values["version"] = kVersions[i % 6];
    key.values["language"] = kLanguages[i % 6];
  }
  return std::make_shared<kw::game::TreeRegistrySource>(tree, [](std::string_view text) { return fs::path(text); });
}

struct Session {
  kq::QtSession session;
  std::unique_ptr<kq::WindowSet> windows;

  Session(std::shared_ptr<const kw::game::RegistrySource> registry, const fs::path& cliffData,
          const fs::path& map = {}) {
    session.commandLineMap = map;
    if (!map.empty()) kw::desktop::SetMapKindFromFile(session.conversion, map.string());
    session.hooks.endProgram = [](int) {};
    session.hooks.reportError = [](const QString& message, QWidget*) {
      std::fprintf(stderr, "window_renderer: %s\n", message.toStdString().c_str());
    };
    session.hooks.launchEditor = [](const kw::logic::EditorLaunch&) { return std::optional<std::string>(); };
    // The offscreen platform draws every window opaque (and warns of each opacity set).
    session.desktopHasWindowOpacity = kq::DesktopShowsWindowOpacity();
    session.cliffDataFile = cliffData;
    session.fadeIntervalMs = 1;
    session.installs.registry = std::move(registry);
    windows = std::make_unique<kq::WindowSet>(session);
    windows->Browser().Logic().Start();
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_renderer OUT_FOLDER CLIFFDATA\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const fs::path out = argv[1];
  const fs::path cliffData = argv[2];
  fs::create_directories(out);
  kw::mapmaker::ScratchFolder scratch;
  const fs::path game = MakeGame(scratch.path() / "Vornmark II");
  // Replaced slots are kept in the user's data folder: here, in the scratch folder.
  ::setenv("XDG_DATA_HOME", (scratch.path() / "data").c_str(), 1);

  {
    // The browser with a map selected, the slot picker, its progress half-way, the prompt.
    std::mutex mutex;
    std::condition_variable cv;
    int reports = 0;
    bool hold = true;
    Session s(kw::game::ExplicitInstallation(game), cliffData);
    s.session.hooks.workerProgress = [&](const std::string&) {
      std::unique_lock lock(mutex);
      // Held before "Desc", so the panel rests at "Info".
      if (++reports == 7) cv.wait(lock, [&] { return !hold; });
    };
    kq::BrowserWindow& browser = s.windows->Browser();
    Require(WaitFor([&] { return Settled(browser); }), "the browser's fade-in");
    const auto rows = browser.mapList->findItems(QStringLiteral("Dunes"), Qt::MatchExactly);
    Require(!rows.isEmpty(), "the map row");
    browser.mapList->setCurrentItem(rows.first());
    Save(browser, out / "browser.png");

    // The progress of a campaign: its gauge runs longer than a single map's.
    browser.campaigns->click();
    const auto campaigns = browser.mapList->findItems(QStringLiteral("007"), Qt::MatchExactly);
    Require(!campaigns.isEmpty(), "the campaign row");
    browser.mapList->setCurrentItem(campaigns.first());
    browser.Logic().OpenSelected();
    kq::SlotPickerWindow& picker = s.windows->SlotPicker();
    Require(WaitFor([&] { return Settled(picker); }), "the slot picker's fade-in");
    picker.slotList->setCurrentRow(3);
    Save(picker, out / "slot_picker.png");

    picker.slotList->setCurrentRow(7);
    picker.Logic().ChooseSlot();
    Require(WaitFor([&] { return picker.stepValue->text() == QStringLiteral("Info"); }), "the progress half-way");
    Save(picker, out / "progress.png");
    {
      std::lock_guard lock(mutex);
      hold = false;
    }
    cv.notify_all();
    Require(WaitFor([&] { return picker.EditorPrompt() && Settled(*picker.EditorPrompt()); }), "the editor prompt");
    Save(*picker.EditorPrompt(), out / "editor_prompt.png");
  }

  // A conversion of a map with a script code the game does not know: the notice names the step
  // (and that the slot was left as it was) before the prompt. Then a map converted into an
  // occupied slot: the notice says where the slot's previous map went.
  {
    using kw::mapmaker::Le;
    const kw::core::Bytes broken = kw::mapmaker::ReplaceSection(
        kw::mapmaker::SampleMainContainer(kw::format::SinglePlayerMap, {2, 0, 40, 30}),
        kw::format::SectionPosition(kw::format::Section::Scripts, kw::format::SinglePlayerMap),
        kartwerk::mapmaker::Le().I32(2).U32(0).U32(0).U32(0xFFFF).U32(0).U32(0).U32(0x00010001).U32(1000).U32(0xFFFF));
    kw::mapmaker::WriteBytes(game / "game" / "maps" / "single" / "broken.qdm", kw::mapmaker::Gzip(broken, "broken"));
  }
  for (const auto& [map, slot, picture] :
       {std::tuple{"broken", 1, "notice_failure.png"}, std::tuple{"frontier", 1, "notice_replaced.png"}}) {
    // Named on the command line: a map chosen in the browser that fails goes back to the browser instead.
    Session s(kw::game::ExplicitInstallation(game), cliffData,
              game / "game" / "maps" / "single" / (std::string(map) + ".qdm"));
    kq::SlotPickerWindow& picker = s.windows->SlotPicker();
    Require(WaitFor([&] { return Settled(picker); }), "the slot picker's fade-in");
    picker.slotList->setCurrentRow(slot);
    picker.Logic().ChooseSlot();
    Require(WaitFor([&] { return Settled(s.windows->Notice()); }), "the notice after the conversion");
    Save(s.windows->Notice(), out / picture);
  }

  for (int n : {2, 5, 6, 9}) {
    std::vector<fs::path> folders;
    for (int i = 0; i < n; ++i) folders.push_back(i == 0 ? game : scratch.path() / ("install " + std::to_string(i)));
    for (const fs::path& f : folders) fs::create_directories(f);
    Session s(RegistryOf(folders), cliffData);
    Require(WaitFor([&] { return Settled(s.windows->VersionPicker()); }), "the version picker");
    Save(s.windows->VersionPicker(), out / ("version_picker_" + std::to_string(n) + ".png"));
  }

  {
    Session s(nullptr, cliffData);
    Require(WaitFor([&] { return Settled(s.windows->Notice()); }), "the game-not-located notice");
    Save(s.windows->Notice(), out / "notice.png");
  }
  {
    Session s(kw::game::ExplicitInstallation(game), scratch.path() / "no cliffdata here");
    Require(WaitFor([&] { return Settled(s.windows->Notice()); }), "the cliffdata notice");
    Save(s.windows->Notice(), out / "notice_cliffdata.png");
  }
  return 0;
}
