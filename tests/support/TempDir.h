// A fresh temporary folder for a test, removed with everything in it when the test ends.
#pragma once
#include <string>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to a file in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  static std::string Read(const std::string& path);

 private:
  std::string path_;
};

// Shows bytes as hex so that failing byte comparisons are readable.
std::string Hex(const std::string& bytes);
