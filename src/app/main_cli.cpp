// The command-line tool of a build with the chart view: as cli_main.cpp, and
// `sweep --plot` draws the chart offscreen with the window's chart code.

#include <QApplication>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/cli.h"
#include "report/chart_view.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);

  // Qt starts only when a chart is asked for. The tool never opens a window,
  // so it needs no display.
  std::optional<QApplication> app;
  modalsynth::cli::Options options;
  options.plot = [&](const modalsynth::ChartData& data, const std::string& path, int width, int height) {
    if (!app) {
      if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
      // Standard error is for the command's own errors: the toolkit's notes
      // about its environment (a missing runtime folder, fonts) stay out.
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
      });
      app.emplace(argc, argv);
    }
    return modalsynth::ChartView::renderToFile(data, path, width, height);
  };
  return modalsynth::cli::run(args, std::cout, std::cerr, options);
}
