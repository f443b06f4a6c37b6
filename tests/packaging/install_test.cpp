// The installed program: `cmake --install` into a temporary DESTDIR puts exactly
// the program, its two libraries, its desktop files and its manual page there,
// and the program started from there, with nothing in its environment pointing
// at the build, loads its socket library and its window-system library from its
// private folder, answers its command line without a display, and its menu
// entry handles irc:// and ircs:// links.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

  // Started the way the desktop starts it, with only what a desktop session would
  // hand it: no library path, nothing that names the build folder.
  void StartProgram(QProcess& program) const {
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    environment.insert("HOME", destdir_.path());
    environment.insert("XDG_RUNTIME_DIR", runtime_dir_.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
      if (qEnvironmentVariableIsSet(sanitizer)) {
        environment.insert(sanitizer, qEnvironmentVariable(sanitizer));
      }
    }
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(destdir_.path());
    program.start(prefix_ + "/" INSTALL_BINDIR "/ircclient", {});
  }

  // The program run to its end with `arguments` and no display at all: what it
  // wrote to standard output and error, and its exit status.
  struct Run {
    int status = -1;
    std::string output;
    std::string errors;
  };
  Run RunWithoutDisplay(const QStringList& arguments) const {
    QProcess program;
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    environment.insert("HOME", destdir_.path());
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
      if (qEnvironmentVariableIsSet(sanitizer)) {
        environment.insert(sanitizer, qEnvironmentVariable(sanitizer));
      }
    }
    program.setProcessEnvironment(environment);
    program.start(prefix_ + "/" INSTALL_BINDIR "/ircclient", arguments);
    program.closeWriteChannel();
    Run run;
    if (!program.waitForFinished(30000)) {
      program.kill();
      program.waitForFinished();
      ADD_FAILURE() << "the program did not end";
      return run;
    }
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.output = program.readAllStandardOutput().toStdString();
    run.errors = program.readAllStandardError().toStdString();
    return run;
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
  QProcess update;
  update.setProcessChannelMode(QProcess::MergedChannels);
  update.start("update-desktop-database", {applications});
  ASSERT_TRUE(update.waitForFinished(30000));
  ASSERT_EQ(update.exitCode(), 0) << update.readAll().toStdString();
  QFile cache(applications + "/mimeinfo.cache");
  ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = cache.readAll().split('\n');
  for (const char* scheme : {"irc", "ircs"}) {
    EXPECT_TRUE(lines.contains(QByteArray("x-scheme-handler/") + scheme +
                               "=local.ircclient.testclient.desktop;"))
        << scheme;
  }
}

// Help and version end well; a command line that cannot be used ends with
// status 2 and one line naming the problem, without a display to open, and a
// secret read from a file shows in neither output.
TEST_F(InstallTest, TheCommandLineAnswersWithoutADisplay) {
  for (const char* option : {"--help", "--version"}) {
    const Run run = RunWithoutDisplay({option});
    EXPECT_EQ(run.status, 0) << option << run.errors;
    EXPECT_NE(run.output.find("ircclient"), std::string::npos) << option;
  }
  const QString secret_file = destdir_.filePath("secret");
  QFile secret(secret_file);
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
  secret.write("open sesame\n");
  secret.close();
  const std::vector<std::pair<QStringList, std::string>> refusals = {
      {{"--bogus"}, "ircclient: Unknown option 'bogus'."},
      {{"--password-file", secret_file, "irc://h"},
       "ircclient: The server password holds a blank."},
      {{"--sasl-password-file", secret_file, "irc://a:b@h:99999"},
       "ircclient: The URL's port is not a number from 1 to 65535."},
  };
  for (const auto& [arguments, problem] : refusals) {
    const Run run = RunWithoutDisplay(arguments);
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_EQ(run.errors.substr(0, run.errors.find('\n')), problem);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors.find("sesame"), std::string::npos);
  }
}

}  // namespace
