// The entry of the window benchmarks: the window runs offscreen unless a
// platform is chosen, and a failure inside it stops the run with its message
// instead of a dialog nobody can dismiss.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/winsys/winsys.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  winsys::Application().SetExceptionHandler([program = argv[0]](const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    std::exit(1);
  });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
