// The desktop program: one window, no command-line arguments.

#include <QApplication>
#include <memory>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return modalsynth::runGuarded([&] {
    // Message boxes carry the application title; the task bar shows the
    // name of the desktop entry, which is the same title.
    QApplication::setApplicationName(QStringLiteral("modalsynth"));
    QGuiApplication::setDesktopFileName(QStringLiteral("modalsynth"));
    std::unique_ptr<TForm1> window = CreateForm1();
    window->show();
    QApplication::exec();
  });
}
