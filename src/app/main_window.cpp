#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <array>
#include <exception>
#include <utility>

#include "params/number_syntax.h"
#include "report/chart_view.h"
#include "report/messages.h"
#include "synthesis/synthesis.h"

TForm1* Form1 = nullptr;

namespace modalsynth {

namespace {

MessageBoxHandler& messageBoxHandler() {
  static MessageBoxHandler handler;
  return handler;
}

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// The stored layout, in one place: the window's place and client size, and
// every component's place in client coordinates at 96 pixels per inch, its
// alignment and its tab order.
enum class Align { None, Top, Bottom };
struct StoredPlace {
  const char* name;
  QRect geometry;
  Align align;
  int tabOrder;
};
constexpr QPoint kWindowPosition{272, 225};  // outer top-left corner
constexpr QSize kClientSize{748, 503};       // outer 756 x 537 with a Windows frame
constexpr int kFontPixels = 11;
const std::array<StoredPlace, 5> kLayout{{
    {"Chart1", {0, 0, 748, 337}, Align::Top, 0},
    {"Button1", {8, 344, 137, 25}, Align::None, 1},
    {"Button2", {152, 344, 145, 25}, Align::None, 2},
    {"Edit1", {304, 344, 121, 21}, Align::None, 3},
    {"Memo1", {0, 374, 748, 129}, Align::Bottom, 4},
}};

}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(messageBoxHandler(), std::move(handler));
}

void showMessageBox(QWidget* parent, MessageKind kind, const QString& message) {
  if (const MessageBoxHandler& handler = messageBoxHandler()) {
    handler(parent, kind, message);
    return;
  }
  const QString title = text(msg::kApplicationTitle);
  if (kind == MessageKind::Critical)
    QMessageBox::critical(parent, title, message);
  else
    QMessageBox::information(parent, title, message);
}

void showErrorBox(QWidget* parent, std::string_view message) {
  showMessageBox(parent, MessageKind::Critical, QString::fromStdString(errorBoxText(message)));
}

int runGuarded(const std::function<void()>& startUp) {
  try {
    startUp();
  } catch (const std::exception& error) {
    showErrorBox(nullptr, error.what());
  }
  return 0;
}

void MemoReport::appendLine(const std::string& line) {
  memo_->appendPlainText(QString::fromStdString(line));
  memo_->moveCursor(QTextCursor::End);
  last_ = line;
}

}  // namespace modalsynth

using namespace modalsynth;

TForm1::TForm1(QWidget* owner) : QWidget(owner) {
  Form1 = this;
  buildLayout();
  ParamFile = std::make_unique<ParameterFile>(parameterFilePathFor(executablePath()));
}

TForm1::~TForm1() {
  hide();
  emit destroying(this);
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::buildLayout() {
  setWindowTitle(text(msg::kWindowCaption));
  QFont windowFont = font();
  windowFont.setPixelSize(kFontPixels);
  setFont(windowFont);

  // Components in layout order, which is their creation order.
  Chart1 = new ChartView(this);
  Series1 = Chart1->series(0);
  Series2 = Chart1->series(1);
  Series3 = Chart1->series(2);
  Series4 = Chart1->series(3);
  Chart1->setFocusPolicy(Qt::StrongFocus);
  Chart1->setContextMenuPolicy(Qt::CustomContextMenu);

  Button1 = new QPushButton(text(msg::kButtonSweep), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(text(msg::kButtonDegree), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  N1 = PopupMenu1->addAction(text(msg::kCopyChart));
  N1->setObjectName(QStringLiteral("N1"));

  QWidget* previous = nullptr;
  for (const StoredPlace& place : kLayout) {  // kLayout is in tab order
    auto* widget = findChild<QWidget*>(QString::fromLatin1(place.name), Qt::FindDirectChildrenOnly);
    widget->setGeometry(place.geometry);
    if (previous) setTabOrder(previous, widget);
    previous = widget;
  }
  move(kWindowPosition);
  resize(kClientSize);

  // Event wiring.
  connect(this, &TForm1::destroying, this, &TForm1::FormDestroy);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Chart1, &QWidget::customContextMenuRequested, this, &TForm1::Chart1ContextPopup);
  connect(N1, &QAction::triggered, this, &TForm1::N1Click);
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  alignComponents();
}

// Top and bottom alignment: the chart and the report box span the client
// width and keep their heights; the rest stays where the layout put it.
void TForm1::alignComponents() {
  for (const StoredPlace& place : kLayout) {
    if (place.align == Align::None) continue;
    auto* widget = findChild<QWidget*>(QString::fromLatin1(place.name), Qt::FindDirectChildrenOnly);
    const int h = place.geometry.height();
    widget->setGeometry(0, place.align == Align::Top ? 0 : height() - h, width(), h);
  }
}

template <class Command>
void TForm1::runCommand(Command&& command) {
  // An error ends the command where it arose and shows in the error box;
  // what the command had written stays, and the window stays usable.
  try {
    std::forward<Command>(command)();
  } catch (const std::exception& error) {
    showErrorBox(this, error.what());
  }
}

void TForm1::Button1Click() {
  runCommand([this] {
    ChartCommand chart(*Chart1);
    try {
      RunSweep(ps, *ParamFile, regionalDecimalSeparator(), report_, chart);
    } catch (...) {
      chart.finish();
      throw;
    }
    chart.finish();
  });
}

void TForm1::Button2Click() {
  runCommand([this] {
    if (!RunSingleDegree(ps, *ParamFile, regionalDecimalSeparator(), Edit1->text().toStdString(), report_))
      showMessageBox(this, MessageKind::Information, text(msg::kDegreeRequired));
  });
}

void TForm1::Chart1ContextPopup(const QPoint& mousePos) {
  // The menu opens at the pointer: mousePos is in the chart's coordinates.
  PopupMenu1->popup(Chart1->mapToGlobal(mousePos));
}

void TForm1::N1Click() {
  runCommand([this] { QGuiApplication::clipboard()->setImage(Chart1->image()); });
}

void TForm1::FormDestroy(QObject* /*sender*/) { ParamFile.reset(); }

std::unique_ptr<TForm1> CreateForm1() {
  try {
    return std::make_unique<TForm1>();
  } catch (...) {
    Form1 = nullptr;
    throw;
  }
}
