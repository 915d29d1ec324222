// The chart view's display reduction and the command-line tool's chart export.

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <vector>

#include "report/chart_view.h"

using namespace modalsynth;

namespace {

std::vector<ChartPoint> flatLine(int n) {
  std::vector<ChartPoint> points;
  for (int i = 0; i < n; ++i) points.push_back({i / double(n - 1), 0.0});
  return points;
}

bool contains(const QList<QPointF>& shown, ChartPoint p) {
  return shown.contains(QPointF(p.x, p.y));
}

}  // namespace

class ChartViewTest : public QObject {
  Q_OBJECT

 private slots:
  void fewPointsAreShownAsTheyAre() {
    const std::vector<ChartPoint> points{{0, 1}, {0.5, 3}, {1, 2}};
    const QList<QPointF> shown = reduceForDisplay(points, 0, 1, 1);
    QCOMPARE(shown, (QList<QPointF>{{0, 1}, {0.5, 3}, {1, 2}}));
  }

  void reductionKeepsEveryColumnsExtremesInOrder() {
    std::vector<ChartPoint> points = flatLine(10001);
    points[5000].y = 10;   // a spike
    points[5001].y = -4;   // and a dip right after it, in the same column
    points[7000].y = -5;
    const int columns = 20;
    const QList<QPointF> shown = reduceForDisplay(points, 0, 1, columns);
    QVERIFY(shown.size() <= 4 * columns);
    QVERIFY(shown.size() >= columns);
    for (ChartPoint p : {points.front(), points.back(), points[5000], points[5001], points[7000]})
      QVERIFY2(contains(shown, p), qPrintable(QString("missing (%1, %2)").arg(p.x).arg(p.y)));
    for (qsizetype i = 1; i < shown.size(); ++i) QVERIFY(shown[i - 1].x() < shown[i].x());
  }

  void reductionLeavesOutPointsThatCannotBeDrawn() {
    std::vector<ChartPoint> points = flatLine(1000);
    points[10].y = INFINITY;
    points[20].x = NAN;
    const QList<QPointF> few = reduceForDisplay(std::span(points).first(100), 0, 1, 100);
    QCOMPARE(few.size(), 98);
    const QList<QPointF> many = reduceForDisplay(points, 0, 1, 10);
    for (const QPointF& p : many) QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
  }

  void plotExport_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QSize>("size");  // of a PNG; empty for none
    QTest::addColumn<QString>("error");
    QTest::newRow("png at the window's size") << QStringList{} << "chart.png" << 0 << QSize(748, 337) << "";
    QTest::newRow("png at a given size") << QStringList{"--size", "400x300"} << "chart.PNG" << 0 << QSize(400, 300)
                                         << "";
    QTest::newRow("svg") << QStringList{} << "chart.svg" << 0 << QSize() << "";
    QTest::newRow("other extension") << QStringList{} << "chart.bmp" << 1 << QSize() << ".png or .svg";
    QTest::newRow("folder missing") << QStringList{} << "missing/chart.png" << 1 << QSize() << "cannot write";
  }
  void plotExport() {
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QSize, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    const QString params = MODALSYNTH_SOURCE_DIR "/examples/modalsynth.txt";

    QProcess plain;
    plain.start(MODALSYNTH_CLI, {"--params", params, "sweep"});
    QVERIFY(plain.waitForFinished(60000));

    QProcess cli;
    cli.start(MODALSYNTH_CLI, QStringList{"--params", params, "sweep", "--plot", path} + options);
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), exitCode);
    // The report is the same with or without the chart.
    QCOMPARE(cli.readAllStandardOutput(), plain.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(cli.readAllStandardError());
    if (!error.isEmpty()) QVERIFY2(stderrText.contains(error), qPrintable(stderrText));

    if (exitCode != 0) return;
    if (size.isValid()) {
      QImage image(path);
      QCOMPARE(image.size(), size);
      QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
    } else {
      QFile svg(path);
      QVERIFY(svg.open(QIODevice::ReadOnly));
      const QByteArray text = svg.readAll();
      QVERIFY(text.contains("<svg"));
      QVERIFY(text.contains("width=\"748"));
    }
  }
};

QTEST_MAIN(ChartViewTest)
#include "chart_view_test.moc"
