// One full repaint of the piano roll and the current-note panel, as the
// window's paint event does it, over a ten-minute recording analysed at the
// finest hop, at zoom 1 and zoom 5. A repaint must stay well inside a 60 Hz
// frame (16 ms).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>

#include "documents/SettingsRecord.h"
#include "engine/AnalysisEngine.h"
#include "engine/Notifier.h"
#include "ui/MainWindowState.h"
#include "ui/ViewGeometry.h"
#include "ui/qt/PianoRollPainter.h"
#include "ui/qt/Pictures.h"

namespace melovantis {
namespace {

constexpr int kTenMinutesAtFinestHop = 600 * 44100 / 300;

// A table with a melody wandering over three octaves, attacks every 20 frames.
void fillTable(AnalysisEngine& engine) {
  engine.reserveRows(kTenMinutesAtFinestHop + 1);
  for (int i = 0; i < kTenMinutesAtFinestHop; ++i) {
    FrameRecord& row = engine.frames[static_cast<std::size_t>(i)];
    row.pitch = i % 97 == 0 ? -1000.0 : 60.0 + 18.0 * std::sin(i * 0.01);
    row.volume = static_cast<std::uint8_t>(40 + i % 80);
    row.brightness = static_cast<std::uint8_t>(20 + i % 60);
    row.attack = i % 20 == 0 ? 1 : 0;
  }
  engine.frameCount = kTenMinutesAtFinestHop;
}

void repaintView(benchmark::State& state) {
  static SilentNotifier notifier;
  static AnalysisEngine engine(notifier);
  if (engine.frameCount == 0) {
    fillTable(engine);
  }
  const int zoom = static_cast<int>(state.range(0));
  MainWindowState window;
  window.zoom = zoom;
  window.pixelsPerSemitone = 2.0 * zoom;
  window.verticalOffset = (254 * zoom - 254) / 2;  // scrolled halfway
  window.cursorX = 400;
  const SettingsRecord settings;
  const ViewGeometry view(window, kTenMinutesAtFinestHop / 2);
  window.lowHandle = view.handleFor(settings.lowestNote);
  window.highHandle = view.handleFor(settings.highestNote);
  const QPixmap keyboard = keyboardPicture();
  QImage image(789, 520, QImage::Format_ARGB32_Premultiplied);

  for (auto _ : state) {
    QPainter painter(&image);
    paintCurrentNotePanel(painter, keyboard, engine, view.firstFrame() + 204);
    paintViewBackground(painter, view);
    paintAreaBrush(painter, window);
    paintGrid(painter, view);
    paintRangeLines(painter, view, window, settings);
    paintCursor(painter, view, window);
    paintFrames(painter, view, window, engine);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(repaintView)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace melovantis

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);  // fonts and pixmaps need one
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}
