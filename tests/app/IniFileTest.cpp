#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <vector>

#include "app/IniFile.h"
#include "support/TempDir.h"

TEST(IniFile, ReadsValuesAsTheFileUsersKnowThem) {
  TempDir dir;
  std::string path = dir.Write("p.ini",
                               "[Window]\r\nLeft=12\r\n  width = 0x30 \r\n[editor]\n"
                               "Inyostr= > \nQuoted=\"  a b \"\nHalf='x\nEmpty=\nShowCR=yes\n"
                               "ShowEOF=2\nColor=$FF00000F\nNeg=-5\nBig=99999999999\n"
                               "Bare=0x\n[Window]\nLeft=99\n");
  TIniFile ini(path);
  EXPECT_EQ(12, ini.ReadInteger("window", "LEFT", 0));  // names match without case
  EXPECT_EQ(48, ini.ReadInteger("Window", "Width", 0));
  EXPECT_EQ(7, ini.ReadInteger("Window", "Height", 7));  // absent
  EXPECT_EQ(7, ini.ReadInteger("Nowhere", "Left", 7));
  EXPECT_EQ(">", ini.ReadString("Editor", "Inyostr", "?"));
  EXPECT_EQ("  a b ", ini.ReadString("Editor", "Quoted", "?"));  // one pair of quotes goes
  EXPECT_EQ("'x", ini.ReadString("Editor", "Half", "?"));
  EXPECT_EQ("", ini.ReadString("Editor", "Empty", "?"));
  EXPECT_TRUE(ini.ReadBool("Editor", "ShowCR", true));  // not a number: the default
  EXPECT_FALSE(ini.ReadBool("Editor", "ShowCR", false));
  EXPECT_TRUE(ini.ReadBool("Editor", "ShowEOF", false));  // any nonzero number
  EXPECT_EQ(static_cast<int>(0xFF00000F), ini.ReadInteger("Editor", "Color", 0));
  EXPECT_EQ(-5, ini.ReadInteger("Editor", "Neg", 0));
  EXPECT_EQ(3, ini.ReadInteger("Editor", "Big", 3));  // out of range
  EXPECT_EQ(3, ini.ReadInteger("Editor", "Bare", 3));
  EXPECT_EQ(3, ini.ReadInteger("Editor", "Empty", 3));
  // Double-byte names: ア (83 41) and ャ (83 61) differ only in a second byte's "case".
  TIniFile kana(dir.Write("k.ini", "[S]\n\x83\x41=1\n"));
  EXPECT_EQ(1, kana.ReadInteger("S", "\x83\x41", 0));
  EXPECT_EQ(0, kana.ReadInteger("S", "\x83\x61", 0));
  // A value longer than the buffer comes back cut.
  TIniFile longer(dir.Write("l.ini", "[S]\nK=" + std::string(3000, 'v') + "\n"));
  EXPECT_EQ(2047u, longer.ReadString("S", "K", "").size());
}

TEST(IniFile, WritesKeepTheRestOfTheFile) {
  TempDir dir;
  std::string path = dir.Write("p.ini", "; mine\n[Window]\nLeft=1\n\n[Etc]\nTxf=a\n");
  TIniFile ini(path);
  ini.WriteInteger("WINDOW", "Top", -3);  // into the existing section, after its last key
  ini.WriteInteger("Window", "left", 5);  // replaces the line
  ini.WriteString("Editor", "Inyostr", "> \r\nInjected=1");  // a new section; no second line
  ini.WriteBool("Etc", "SegaBbsMode", true);
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(
      "; mine\r\n[Window]\r\nleft=5\r\nTop=-3\r\n\r\n[Etc]\r\nTxf=a\r\nSegaBbsMode=1\r\n\r\n"
      "[Editor]\r\nInyostr=> \r\n",
      TempDir::Read(path));
  TIniFile again(path);
  EXPECT_EQ(-3, again.ReadInteger("Window", "Top", 0));
  EXPECT_EQ(7, again.ReadInteger("Editor", "Injected", 7));
}

TEST(IniFile, MissingAndUnwritableFiles) {
  TempDir dir;
  TIniFile fresh(dir.Path() + "/new.ini");
  EXPECT_EQ("d", fresh.ReadString("A", "B", "d"));
  EXPECT_TRUE(fresh.UpdateFile());  // nothing written: no file made
  EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/new.ini"));
  fresh.WriteString("A", "B", "c");
  ASSERT_TRUE(fresh.UpdateFile());
  EXPECT_EQ("[A]\r\nB=c\r\n", TempDir::Read(dir.Path() + "/new.ini"));

  // A settings path that is taken by a folder cannot be written, also by root.
  std::string path = dir.Path() + "/taken.ini";
  std::filesystem::create_directory(path);
  TIniFile ini(path);
  ini.WriteString("A", "B", "new");
  std::string error;
  EXPECT_FALSE(ini.UpdateFile(&error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(IniFile, Utf16FilesAndNulBytes) {
  // A profile file in UTF-16 with a byte-order mark, as other programs write it.
  auto utf16 = [](std::u16string_view text, bool little) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : text) {
      char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
      bytes += little ? lo : hi;
      bytes += little ? hi : lo;
    }
    return bytes;
  };
  std::u16string text = u"[InternetShortcut]\r\nURL=http://example.com/\u3072\r\n";
  for (bool little : {true, false}) {
    TIniFile ini = TIniFile::FromText(utf16(text, little));
    EXPECT_EQ("http://example.com/\x82\xD0", ini.ReadString("InternetShortcut", "URL", "?"));
  }
  // A NUL ends the value there, blanks before it go too.
  TIniFile nul = TIniFile::FromText(std::string("[S]\nURL=http://a/ \0evil\nK=\0\n", 28));
  EXPECT_EQ("http://a/", nul.ReadString("S", "URL", "?"));
  EXPECT_EQ("", nul.ReadString("S", "K", "?"));
}

TEST(IniFile, FirstSectionAndFirstKeyOfANameCount) {
  TIniFile ini =
      TIniFile::FromText("orphan=1\n[A]\nk=1\nK=2\n[b]\nk=3\n[a]\nk=4\nnew=5\n\n\n[B]\nk=6\n");
  EXPECT_EQ(0, ini.ReadInteger("", "orphan", 0));  // before any section: never read
  EXPECT_EQ(1, ini.ReadInteger("a", "K", 0));
  EXPECT_EQ(3, ini.ReadInteger("B", "k", 0));
  EXPECT_EQ(0, ini.ReadInteger("A", "new", 0));  // in the second [a], which is not read
  ini.WriteInteger("a", "new", 7);               // goes into the first
  ini.WriteInteger("a", "k", 8);
  ini.WriteInteger("c", "x", 9);
  EXPECT_EQ(7, ini.ReadInteger("A", "new", 0));
  EXPECT_EQ(8, ini.ReadInteger("A", "k", 0));
  EXPECT_EQ(9, ini.ReadInteger("C", "X", 0));
  EXPECT_EQ(
      "orphan=1\r\n[A]\r\nk=8\r\nK=2\r\nnew=7\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\nnew=5\r\n\r\n\r\n"
      "[B]\r\nk=6\r\n\r\n[c]\r\nx=9\r\n",
      ini.Text());
}

// Reads and writes against a plain line-by-line model of the same rules, over random files
// made of few names, so that runs, duplicates and sections of every shape meet.
TEST(IniFile, AgreesWithALineByLineModel) {
  struct Model {
    std::vector<std::string> lines;
    static std::string Lower(std::string s) {
      for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      return s;
    }
    static std::string Trim(std::string s) {
      while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.erase(0, 1);
      while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
      return s;
    }
    static bool Header(const std::string& line, std::string& name) {
      std::string t = Trim(line);
      if (t.size() < 2 || t[0] != '[' || t.find(']') == std::string::npos) return false;
      name = Lower(Trim(t.substr(1, t.find(']') - 1)));
      return true;
    }
    size_t Section(const std::string& s) const {
      std::string name;
      for (size_t i = 0; i < lines.size(); ++i)
        if (Header(lines[i], name) && name == Lower(s)) return i;
      return lines.size();
    }
    size_t Key(size_t sec, const std::string& k) const {
      std::string name;
      for (size_t i = sec + 1; i < lines.size() && !Header(lines[i], name); ++i) {
        size_t eq = lines[i].find('=');
        if (eq != std::string::npos && Lower(Trim(lines[i].substr(0, eq))) == Lower(k)) return i;
      }
      return std::string::npos;
    }
    std::string Read(const std::string& s, const std::string& k) const {
      size_t sec = Section(s);
      size_t at = sec < lines.size() ? Key(sec, k) : std::string::npos;
      return at == std::string::npos ? "?" : Trim(lines[at].substr(lines[at].find('=') + 1));
    }
    void Write(const std::string& s, const std::string& k, const std::string& v) {
      std::string line = k + "=" + v, name;
      size_t sec = Section(s);
      if (sec == lines.size()) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + s + "]");
        lines.push_back(line);
      } else if (size_t at = Key(sec, k); at != std::string::npos) {
        lines[at] = line;
      } else {
        size_t last = sec;
        for (size_t i = sec + 1; i < lines.size() && !Header(lines[i], name); ++i)
          if (!Trim(lines[i]).empty()) last = i;
        lines.insert(lines.begin() + static_cast<long>(last) + 1, line);
      }
    }
    std::string Text() const {
      std::string t;
      for (const std::string& l : lines) t += l + "\r\n";
      return t;
    }
  };

  const char* pieces[] = {"[a]", "[A]", " [b] ", "[c]", "k=1",  "K = 2", "x=3",
                          "x=",  "  ",  "",      "; c", "junk", "\r",    "k"};
  const char* names[] = {"a", "B", "c", "d"};
  const char* keys[] = {"k", "X", "y"};
  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int round = 0; round < 300; ++round) {
    std::string file;
    Model model;
    for (unsigned n = next(12); n > 0; --n) {
      std::string piece = pieces[next(std::size(pieces))];
      bool crlf = next(2);
      file += piece + (crlf ? "\r\n" : "\n");
      // A line loses one CR before its LF.
      if (!crlf && !piece.empty() && piece.back() == '\r') piece.pop_back();
      model.lines.push_back(piece);
    }
    TIniFile ini = TIniFile::FromText(file);
    for (int step = 0; step < 12; ++step) {
      std::string s = names[next(4)], k = keys[next(3)];
      if (next(3) == 0) {
        std::string v = std::to_string(step);
        ini.WriteString(s, k, v);
        model.Write(s, k, v);
      }
      ASSERT_EQ(model.Read(s, k), ini.ReadString(s, k, "?")) << Hex(file) << " round " << round;
    }
    ASSERT_EQ(model.Text(), ini.Text()) << Hex(file);
  }
}
