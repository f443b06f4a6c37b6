// The installed program: `cmake --install` into a temporary DESTDIR puts exactly
// the program, its libraries, desktop files and manual page there; started from
// there, with nothing in its environment pointing at the build, it loads its
// libraries from its private folder and answers its command line without a
// display; its menu entry handles irc:// and ircs:// links.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <set>
#include <string>
#include <tuple>

#include "tests/support/wait_until.h"

namespace {

// The installed tree, relative to DESTDIR and the prefix.
const std::set<QString> kInstalledFiles = {
    INSTALL_BINDIR "/ircclient",
    INSTALL_PRIVATE_LIBDIR "/libwinsys.so",
    INSTALL_PRIVATE_LIBDIR "/libwsock32.so",
    INSTALL_DATADIR "/applications/local.ircclient.testclient.desktop",
    INSTALL_DATADIR "/icons/hicolor/scalable/apps/local.ircclient.testclient.svg",
    INSTALL_DATADIR "/metainfo/local.ircclient.testclient.metainfo.xml",
    INSTALL_MANDIR "/man1/ircclient.1",
};

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(destdir_.isValid());
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", destdir_.path());
    install.setProcessEnvironment(environment);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(CMAKE_COMMAND, {"--install", BUILD_DIR});
    ASSERT_TRUE(install.waitForFinished(60000)) << "cmake --install did not finish";
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    prefix_ = QDir::cleanPath(destdir_.path() + "/" INSTALL_PREFIX);
  }

  std::set<QString> InstalledFiles() const {
    std::set<QString> files;
    QDirIterator it(prefix_, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files.insert(QDir(prefix_).relativeFilePath(it.next()));
    return files;
  }

  // Started the way the desktop starts it, with only what a desktop session
  // would hand it: no library path, nothing that names the build folder; no
  // display unless asked for.
  void StartProgram(QProcess& program, const QStringList& arguments = {},
                    bool display = true) const {
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    environment.insert("HOME", destdir_.path());
    if (display) {
      environment.insert("XDG_RUNTIME_DIR", runtime_dir_.path());
      environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
      if (qEnvironmentVariableIsSet(sanitizer)) {
        environment.insert(sanitizer, qEnvironmentVariable(sanitizer));
      }
    }
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(destdir_.path());
    program.start(prefix_ + "/" INSTALL_BINDIR "/ircclient", arguments);
  }

  // The shared objects the running program has mapped, by their file paths.
  static std::set<QString> MappedFiles(qint64 pid) {
    QFile maps(QString("/proc/%1/maps").arg(pid));
    std::set<QString> files;
    if (!maps.open(QIODevice::ReadOnly)) return files;
    for (const QByteArray& line : maps.readAll().split('\n')) {
      const qsizetype slash = line.indexOf('/');
      if (slash >= 0) files.insert(QString::fromUtf8(line.mid(slash)));
    }
    return files;
  }

  QTemporaryDir destdir_;
  QTemporaryDir runtime_dir_;  // private to its owner, as a session's is
  QString prefix_;
};

// One install walked through: exactly the program, its libraries and its desktop
// files are there; the program loads its libraries from its private folder; and
// without its socket library it says so instead of aborting.
TEST_F(InstallTest, InstalledProgramLoadsItsLibrariesFromItsPrivateFolderOrSaysWhichIsMissing) {
  EXPECT_EQ(InstalledFiles(), kInstalledFiles);
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  StartProgram(program);
  ASSERT_TRUE(program.waitForStarted());
  const qint64 pid = program.processId();

  // Making the window starts the socket library; a program that could not load
  // it would have ended with its reason instead of holding the window up.
  const QString private_libdir = QDir(prefix_ + "/" INSTALL_PRIVATE_LIBDIR).canonicalPath();
  const QString socket_library = private_libdir + "/libwsock32.so";
  std::set<QString> mapped;
  // Generous deadlines: a sanitizer build starts slowly.
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] {
        mapped = MappedFiles(pid);
        return mapped.count(socket_library) || program.state() == QProcess::NotRunning;
      },
      30000));
  EXPECT_TRUE(mapped.count(socket_library)) << "socket library not mapped";
  EXPECT_TRUE(mapped.count(private_libdir + "/libwinsys.so")) << "window-system library not mapped";
  const QString build_dir = QDir(BUILD_DIR).canonicalPath() + "/";
  for (const QString& file : mapped) {
    EXPECT_FALSE(file.startsWith(build_dir)) << file.toStdString() << " comes from the build";
  }
  EXPECT_EQ(program.state(), QProcess::Running)
      << "the program ended instead of showing its window";
  program.terminate();
  EXPECT_TRUE(program.waitForFinished(20000)) << "the program did not end on SIGTERM";

  ASSERT_TRUE(QFile::remove(socket_library));
  program.setProcessChannelMode(QProcess::SeparateChannels);
  StartProgram(program);
  ASSERT_TRUE(program.waitForStarted());
  // The reason as a line of its own, not inside a report of an uncaught exception.
  const QByteArray reason = "Unable to load Library \"WSOCK32.DLL\" Error 0";
  QByteArray errors;
  const auto reported = [&] { return errors.split('\n').contains(reason); };
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] {
        errors += program.readAllStandardError();
        return reported() || program.state() == QProcess::NotRunning;
      },
      30000));
  EXPECT_TRUE(reported()) << errors.toStdString();
  // The message box holds the program open until the user has read it.
  EXPECT_EQ(program.state(), QProcess::Running) << errors.toStdString();
  program.terminate();
  EXPECT_TRUE(program.waitForFinished(20000)) << "the program did not end on SIGTERM";
}

// The desktop's MIME database, built from the installed menu entry, names the
// program for irc:// and ircs:// links.
TEST_F(InstallTest, TheMenuEntryHandlesIrcAndIrcsLinks) {
  const QString applications = prefix_ + "/" INSTALL_DATADIR "/applications";
  ASSERT_EQ(QProcess::execute("update-desktop-database", {applications}), 0);
  QFile cache(applications + "/mimeinfo.cache");
  ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
  const QByteArray lines = cache.readAll();
  for (const char* scheme : {"irc", "ircs"}) {
    EXPECT_TRUE(lines.contains(QByteArray("\nx-scheme-handler/") + scheme +
                               "=local.ircclient.testclient.desktop;\n"));
  }
}

// Help and version end well; a command line that cannot be used ends with
// status 2 and one line naming the problem, without a display to open, and a
// secret read from a file shows in neither output.
TEST_F(InstallTest, TheCommandLineAnswersWithoutADisplay) {
  QFile secret(destdir_.filePath("secret"));
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly) && secret.write("open sesame\n") == 12 &&
              secret.flush());
  const std::tuple<QStringList, int, std::string> cases[] = {
      {{"--help"}, 0, ""},
      {{"--version"}, 0, ""},
      {{"--password-file", secret.fileName(), "irc://h"},
       2,
       "ircclient: The server password holds a blank.\n"},
  };
  for (const auto& [arguments, status, problem] : cases) {
    QProcess program;
    StartProgram(program, arguments, false);
    ASSERT_TRUE(program.waitForFinished(30000));
    const std::string output = program.readAllStandardOutput().toStdString();
    const std::string errors = program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, status)
        << errors;
    // Help and version on standard output; a problem on standard error alone.
    EXPECT_TRUE(problem.empty() ? output.find("ircclient") != std::string::npos : output.empty())
        << output;
    EXPECT_TRUE(errors.starts_with(problem)) << errors;
    EXPECT_EQ(errors.find("sesame"), std::string::npos);
  }
}

}  // namespace
