#include "platform/ProgramFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

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
    // Without the override: beside the program when that folder is writable.
    EnvVar home("PIYONOTE2_HOME", "");
    mkdir(dir.File("bin").c_str(), 0755);
    EXPECT_EQ(dir.File("bin") + "/piyonote2.ini", ProgramFiles::DataFile(".ini"));
    // A folder that does not exist (or cannot be written) sends the files to the config home.
    ProgramFiles::SetProgramPathForTesting(dir.Path() + "/nowhere/piyonote2");
    EnvVar xdg("XDG_CONFIG_HOME", dir.File("config"));
    EXPECT_EQ(dir.File("config") + "/piyonote2/piyonote2.kdw", ProgramFiles::DataFile(".kdw"));
  }
  ProgramFiles::SetProgramPathForTesting("");
}
