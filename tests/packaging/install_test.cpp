// The installed program: `cmake --install` into a temporary DESTDIR puts exactly
// the program, its two libraries and its desktop files there, and the program
// started from there, with nothing in its environment pointing at the build,
// loads its socket library from its private folder and registers with a server.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <set>
#include <string>
#include <vector>

#include "tests/support/scripted_server.h"
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
  void StartProgram(QProcess& program, const QStringList& arguments) const {
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

TEST_F(InstallTest, InstallsTheProgramItsLibrariesAndDesktopFilesOnly) {
  EXPECT_EQ(InstalledFiles(), kInstalledFiles);
}

TEST_F(InstallTest, InstalledProgramLoadsItsSocketLibraryAndRegisters) {
  testsupport::ScriptedServer server;
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  StartProgram(program, {"127.0.0.1", QString::number(server.Port())});
  ASSERT_TRUE(program.waitForStarted());

  // Generous deadlines: a sanitizer build starts slowly.
  const auto running = [&] { return program.state() != QProcess::NotRunning; };
  std::vector<std::string> lines;
  testsupport::WaitUntil(
      [&] {
        while (server.HasLine()) lines.push_back(*server.TakeLine());
        return lines.size() >= 3 || !running();
      },
      30000);
  EXPECT_EQ(lines, (std::vector<std::string>{"PASS Mossel", "NICK Tolvex",
                                             "USER Tolvex X Y :Quillamore"}));

  const std::set<QString> mapped = MappedFiles(program.processId());
  const QString private_libdir = QDir(prefix_ + "/" INSTALL_PRIVATE_LIBDIR).canonicalPath();
  EXPECT_TRUE(mapped.count(private_libdir + "/libwsock32.so")) << "socket library not mapped";
  EXPECT_TRUE(mapped.count(private_libdir + "/libwinsys.so"));
  const QString build_dir = QDir(BUILD_DIR).canonicalPath() + "/";
  for (const QString& file : mapped) {
    EXPECT_FALSE(file.startsWith(build_dir)) << file.toStdString() << " comes from the build";
  }

  program.kill();
  program.waitForFinished();
}

TEST_F(InstallTest, InstalledProgramWithoutItsSocketLibrarySaysSoInsteadOfAborting) {
  ASSERT_TRUE(QFile::remove(prefix_ + "/" INSTALL_PRIVATE_LIBDIR "/libwsock32.so"));
  QProcess program;
  StartProgram(program, {});
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
  program.kill();
  program.waitForFinished();
}

TEST_F(InstallTest, InstalledProgramAnswersAnOptionWithItsUsage) {
  QProcess program;
  StartProgram(program, {"--help"});
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 2);
  EXPECT_EQ(program.readAllStandardError().toStdString(), "usage: ircclient [SERVER [PORT]]\n");
}

}  // namespace
