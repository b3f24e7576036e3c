// TForm1, the slot picker and progress window. Opened for one map (by the browser, or at once for
// a map named on the command line), it stages the map, lists the editor's 255 slots and, on a
// double-click, writes the slot's "desc" and "info", switches to its progress panel and starts the
// conversion worker. When the worker has ended it removes the temporary files, fades out, says
// which step failed if one did, offers to start the editor, and ends the program.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "pipeline/process_thread.hpp"
#include "ui/fade_form.hpp"

class QLabel;
class QListWidget;
class QProgressBar;

namespace kartwerk {

class TForm6;
class TForm8;

class TForm1 : public TFadeForm {
  Q_OBJECT

 public:
  TForm1(GuiSession& session, TForm8& notice, QWidget* owner = nullptr);
  ~TForm1() override;

  // Shows the window modally for the map at mapPath (the command-line map takes its place when
  // there is one), with the opener's alpha-blending switch (and opacity when withOpacity).
  // afterClose runs when the window closes without ending the program itself (nothing to
  // convert, game not located, the map unreadable).
  void Open(const std::filesystem::path& mapPath, const TFadeForm& opener, bool withOpacity,
            std::function<void()> afterClose);

  void FormShow();
  // A double-click on a slot row: the slot folder, "desc" and "info", the panel, the worker.
  void ListBox1DblClick();
  // "X": fades out and ends the program; during a conversion the worker is asked to stop first.
  void Label2Click();
  // The worker's step reports and end, delivered on this window's thread.
  void ShowProgress(const QString& label);
  void ConversionFinished(const ConversionEnd& end);

  // The editor prompt once a conversion has ended; null before.
  TForm6* EditorPrompt() const { return prompt_; }

  std::filesystem::path MapPath;
  std::unique_ptr<TProcessThread> ProcessThread;
  bool ConversionDone = false;

  QWidget* Panel2;
  QLabel* Image1;
  QLabel* Label2;
  QLabel* Label1;
  QListWidget* ListBox1;
  QWidget* Panel1;
  QLabel *Label3, *Label4, *Label5, *Label6, *Label9, *Label10, *Label11, *Label12, *Label13, *Label14;
  QProgressBar* Gauge1;

 protected:
  void CloseRequested() override { Label2Click(); }

 private:
  void CloseWindow();
  void FadeOutEnd();
  void ShowEditorPrompt();
  bool WorkerRunning() const;

  TForm8& notice_;
  TForm6* prompt_ = nullptr;
  std::function<void()> afterClose_;
  ConversionEnd end_;
  bool userClosed_ = false;  // "X" before the worker's end
};

// 12 x (missions - 1) + 17: the gauge's length for a map with this many campaign mission files
// (none for a single-player or multiplayer map, which gives 5).
int GaugeMaximum(std::size_t missionFiles);

// The notice shown before the editor prompt when a step failed.
QString ConversionFailureNotice(const ConversionEnd& end);

}  // namespace kartwerk
