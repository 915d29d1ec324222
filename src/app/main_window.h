#pragma once
// The main window: the chart across the top, the two command buttons and the
// edit box under it, the report box along the bottom. The commands run to
// completion inside their slots; the computation is the core's.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "params/parameter_file.h"
#include "params/parameter_set.h"
#include "report/report_log.h"

class QAction;
class QLineEdit;
class QLineSeries;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace modalsynth {

class ChartView;

// Message boxes, all captioned with the application title. They go through
// one handler, so tests can record them instead of showing modal boxes.
enum class MessageKind { Information, Critical };
using MessageBoxHandler = std::function<void(QWidget* parent, MessageKind kind, const QString& text)>;

// Installs a handler in place of the real boxes (an empty one restores them);
// returns the one it replaces.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
void showMessageBox(QWidget* parent, MessageKind kind, const QString& text);
// The error box for an error message, with the full-stop rule.
void showErrorBox(QWidget* parent, std::string_view message);

// Runs start-up: an error that escapes it is shown in the error box, and the
// result is 0 either way.
int runGuarded(const std::function<void()>& startUp);

// The report box as the core's report sink. The line read back is the one
// appended last, whatever the user has typed into the box meanwhile.
class MemoReport : public ReportSink {
 public:
  explicit MemoReport(QPlainTextEdit*& memo) : memo_(memo) {}
  void appendLine(const std::string& line) override;
  std::string lastLine() const override { return last_; }

 private:
  QPlainTextEdit*& memo_;
  std::string last_;
};

}  // namespace modalsynth

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* owner = nullptr);
  ~TForm1() override;

  // Components, named as in the layout.
  modalsynth::ChartView* Chart1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;
  QLineSeries* Series1 = nullptr;
  QLineSeries* Series2 = nullptr;
  QLineSeries* Series3 = nullptr;
  QLineSeries* Series4 = nullptr;

  modalsynth::ParameterSet ps;
  std::unique_ptr<modalsynth::ParameterFile> ParamFile;

 signals:
  // The window is being destroyed: hidden already, its components still there.
  void destroying(QObject* sender);

 public slots:
  void Button1Click();
  void Button2Click();
  void Chart1ContextPopup(const QPoint& mousePos);
  void N1Click();
  void FormDestroy(QObject* sender);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildLayout();
  void alignComponents();
  template <class Command>
  void runCommand(Command&& command);

  modalsynth::MemoReport report_{Memo1};
};

// The one main window.
extern TForm1* Form1;

// Creates the main window into Form1; Form1 stays empty when that fails.
std::unique_ptr<TForm1> CreateForm1();
