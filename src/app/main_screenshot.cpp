// Makes the screenshot for the documentation: the window after a sweep of a
// parameter file, grabbed from the screen (run it on a display, e.g. Xvfb).
//
//   modalsynth-screenshot PARAMETER_FILE OUTPUT.png

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "params/parameter_file.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: modalsynth-screenshot PARAMETER_FILE OUTPUT.png\n");
    return 2;
  }
  modalsynth::setMessageBoxHandler([](QWidget*, modalsynth::MessageKind, const QString& text) {
    std::fprintf(stderr, "message box: %s\n", qPrintable(text));
  });

  // The window reads the parameter file named after its program.
  const std::filesystem::path own = modalsynth::parameterFilePathFor(modalsynth::executablePath());
  std::error_code error;
  std::filesystem::copy_file(args[1].toStdString(), own, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "cannot copy %s: %s\n", qPrintable(args[1]), error.message().c_str());
    return 1;
  }

  std::unique_ptr<TForm1> window = CreateForm1();
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get(), 10000)) {
    std::fprintf(stderr, "the window did not appear\n");
    return 1;
  }
  QTest::mouseClick(window->Button1, Qt::LeftButton);
  QTest::qWait(500);

  const QRect frame = window->frameGeometry();
  const QPixmap shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  std::filesystem::remove(own, error);
  if (shot.isNull() || !shot.save(args[2], "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
    return 1;
  }
  return 0;
}
