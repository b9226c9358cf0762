#include <gtest/gtest.h>

#include <filesystem>

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
