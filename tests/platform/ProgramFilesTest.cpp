#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ios>

#include "platform/ProgramFiles.h"
#include "support/TempDir.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace

TEST(ProgramFiles, DataFilesAreNamedAfterTheProgram) {
  TempDir dir;
  ProgramFiles::SetProgramPathForTesting(dir.Path() + "/bin/piyonote2");
  EXPECT_EQ("piyonote2", ProgramFiles::BaseName());
  {
    EnvVar home("PIYONOTE2_HOME", dir.File("home"));
    EXPECT_EQ(dir.File("home") + "/piyonote2.kdx", ProgramFiles::DataFile(".kdx"));
    struct stat st;
    EXPECT_EQ(0, stat(dir.File("home").c_str(), &st));  // created on demand
  }
  {
    // Without the override: beside the program when that folder is the user's alone.
    EnvVar home("PIYONOTE2_HOME", "");
    mkdir(dir.File("bin").c_str(), 0755);
    chmod(dir.File("bin").c_str(), 0755);
    EXPECT_EQ(dir.File("bin") + "/piyonote2.ini", ProgramFiles::DataFile(".ini"));
    // A folder that does not exist (or cannot be written) sends the files to the config home.
    ProgramFiles::SetProgramPathForTesting(dir.Path() + "/nowhere/piyonote2");
    EnvVar xdg("XDG_CONFIG_HOME", dir.File("config"));
    EXPECT_EQ(dir.File("config") + "/piyonote2/piyonote2.kdw", ProgramFiles::DataFile(".kdw"));
  }
  ProgramFiles::SetProgramPathForTesting("");
}

TEST(ProgramFiles, AnInstalledProgramKeepsItsFilesInTheConfigHomeEvenWhereItCouldWrite) {
  TempDir prefix;
  std::string bin = prefix.File("bin");
  mkdir(bin.c_str(), 0755);
  chmod(bin.c_str(), 0755);
  ProgramFiles::SetProgramPathForTesting(bin + "/piyonote2");
  EnvVar home("PIYONOTE2_HOME", "");
  EnvVar xdg("XDG_CONFIG_HOME", prefix.File("config"));
  EXPECT_EQ(bin, ProgramFiles::DataFolder());  // a build folder: portable
  mkdir(prefix.File("share").c_str(), 0755);
  mkdir(prefix.File("share/applications").c_str(), 0755);
  prefix.Write("share/applications/piyonote2.desktop", "[Desktop Entry]\n");
  EXPECT_EQ(prefix.File("config") + "/piyonote2", ProgramFiles::DataFolder());
  ProgramFiles::SetProgramPathForTesting("");
}

namespace {
unsigned ModeOf(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
}  // namespace

TEST(ProgramFiles, AFolderBesideTheProgramThatOthersMayWriteIsNotUsed) {
  TempDir dir;
  std::string bin = dir.File("bin");
  mkdir(bin.c_str(), 0700);
  ProgramFiles::SetProgramPathForTesting(bin + "/piyonote2");
  EnvVar home("PIYONOTE2_HOME", "");
  EnvVar xdg("XDG_CONFIG_HOME", dir.File("config"));
  const std::string config = dir.File("config") + "/piyonote2";
  for (mode_t mode : {0777, 0775, 0757, 01777}) {
    chmod(bin.c_str(), mode);
    EXPECT_EQ(config, ProgramFiles::DataFolder()) << std::oct << mode;
  }
  chmod(bin.c_str(), 0755);
  EXPECT_EQ(bin, ProgramFiles::DataFolder());
  EXPECT_TRUE(ProgramFiles::IsPrivatelyWritable(bin));
  // Someone else's folder is not the user's, however its bits are set.
  if (geteuid() == 0 && chown(bin.c_str(), 65534, 65534) == 0) {
    EXPECT_FALSE(ProgramFiles::IsPrivatelyWritable(bin));
    EXPECT_EQ(config, ProgramFiles::DataFolder());
  }
  EXPECT_FALSE(ProgramFiles::IsPrivatelyWritable(dir.File("missing")));
  ProgramFiles::SetProgramPathForTesting("");
}

TEST(ProgramFiles, FoldersTheProgramCreatesAreTheUsersAlone) {
  TempDir dir;
  mode_t oldMask = umask(022);
  {
    EnvVar home("PIYONOTE2_HOME", dir.File("a/b"));
    EXPECT_EQ(dir.File("a/b"), ProgramFiles::DataFolder());
    EXPECT_EQ(ModeOf(dir.File("a")), 0700u);
    EXPECT_EQ(ModeOf(dir.File("a/b")), 0700u);
  }
  {
    // An existing folder keeps its mode.
    mkdir(dir.File("config").c_str(), 0755);
    EnvVar home("PIYONOTE2_HOME", "");
    EnvVar xdg("XDG_CONFIG_HOME", dir.File("config"));
    ProgramFiles::SetProgramPathForTesting(dir.Path() + "/nowhere/piyonote2");
    EXPECT_EQ(dir.File("config/piyonote2"), ProgramFiles::DataFolder());
    EXPECT_EQ(ModeOf(dir.File("config")), 0755u);
    EXPECT_EQ(ModeOf(dir.File("config/piyonote2")), 0700u);
    // A relative XDG_CONFIG_HOME is no place: HOME's .config is.
    EnvVar relative("XDG_CONFIG_HOME", "relative");
    EnvVar user("HOME", dir.File("user"));
    mkdir(dir.File("user").c_str(), 0700);
    EXPECT_EQ(dir.File("user/.config/piyonote2"), ProgramFiles::DataFolder());
    ProgramFiles::SetProgramPathForTesting("");
  }
  umask(oldMask);
}
