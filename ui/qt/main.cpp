// melovantis: the desktop program.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>

#include "documents/FactoryData.h"
#include "documents/ProgramFolder.h"
#include "ui/DocumentationFolder.h"
#include "ui/qt/Desktop.h"
#include "ui/qt/DialogUnits.h"
#include "ui/qt/SplashWindow.h"

namespace {

constexpr const char* kUsage =
    "Usage: melovantis [--no-splash] [--program-folder DIR]\n"
    "\n"
    "Opens the Melovantis window: convert a recording of one voice or instrument to MIDI,\n"
    "look at it in the piano roll, correct it and save it.\n"
    "\n"
    "  --no-splash           start without the splash picture\n"
    "  --program-folder DIR  keep settings, converted WAVE files, MIDI and project files in DIR\n"
    "                        (default: $MELOVANTIS_HOME, else ~/Melovantis)\n"
    "  -h, --help            show this help and exit\n"
    "  --version             show the version and exit\n";

struct Options {
  bool splash = true;
  std::filesystem::path programFolder;
};

// Returns the exit status when the program should end at once, else -1.
int parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--no-splash") {
      options.splash = false;
    } else if (a == "--program-folder" && i + 1 < argc) {
      options.programFolder = argv[++i];
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--version") {
      std::printf("melovantis %s\n", MELOVANTIS_VERSION);
      return 0;
    } else {
      std::fprintf(stderr, "melovantis: unknown argument %s\n\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parse(argc, argv, options); status >= 0) {
    return status;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Melovantis"));
  QApplication::setApplicationVersion(QStringLiteral(MELOVANTIS_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("melovantis"));
  QApplication::setFont(melovantis::windowFont());

  std::unique_ptr<melovantis::SplashWindow> splash;
  if (options.splash) {
    splash = std::make_unique<melovantis::SplashWindow>(melovantis::Desktop::version());
    splash->show();
  }

  const melovantis::ProgramFolder folder = melovantis::locateProgramFolder(
      melovantis::programFolderSearchFromEnvironment(options.programFolder,
                                                     melovantis::factoryDataFolder()));
  melovantis::Desktop desktop(folder.path, melovantis::documentationFolder());
  QApplication::setWindowIcon(desktop.window().windowIcon());
  desktop.initialise();
  desktop.window().show();
  if (splash) {
    splash->raise();
    splash->setClosedHandler([&desktop] { desktop.window().repaint(); });
  }
  if (!folder.ok) {
    QTimer::singleShot(0, &desktop.window(), [&desktop, &folder] {
      QMessageBox::warning(&desktop.window(), QStringLiteral("Warning!"),
                           QString::fromStdString(folder.problem));
    });
  }
  return QApplication::exec();
}
