// Writes the fuzz targets' seed inputs with the program's own writers:
//   fuzz_seeds <folder>  makes <folder>/<target>/seed-N for every target.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/DeletedPages.h"
#include "app/IniFile.h"
#include "app/PageData.h"
#include "app/PageFormat.h"
#include "markup/TextLines.h"
#include "platform/CodePage.h"
#include "platform/TextEncoding.h"
#include "web/Favorites.h"
#include "web/WebShortcuts.h"

namespace fs = std::filesystem;

namespace {

std::string Sjis(const char* utf8) {
  return CodePage::FromUtf8(utf8);
}

void Put(const fs::path& folder, const std::string& target, const std::vector<std::string>& seeds) {
  fs::create_directories(folder / target);
  int n = 0;
  for (const std::string& bytes : seeds)
    std::ofstream(folder / target / ("seed-" + std::to_string(++n)), std::ios::binary) << bytes;
}

// A settings-style file as TIniFile writes it, from a file that does not exist.
std::string Ini(const std::vector<std::vector<std::string>>& entries) {
  TIniFile ini("/nonexistent/fuzz-seed.ini");
  for (const auto& e : entries) ini.WriteString(e[0], e[1], e[2]);
  return ini.Text();
}

const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = {
      "",
      "plain ascii\r\nsecond line\r\n",
      Sjis("ひよこのノート\r\n日本語の行\r\n半角ｶﾅ\r\n"),
      "lf\nonly\nlines\n",
      "cr\ronly\r",
      std::string("nul\0inside\r\n", 13),
      "\ttab\t\ttabs\r\n" + std::string(300, 'x') + "\r\n",
      Sjis("<b>太字</b> <a href=\"http://example.com/\">リンク</a>\r\n> 引用\r\n"),
  };
  return texts;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds <folder>\n";
    return 2;
  }
  fs::path out = argv[1];

  std::vector<std::string> pages;
  {
    TDataList empty;
    TMemoryStream s;
    empty.SaveToStream(s);
    pages.push_back(s.TakeBytes());
    TDataList list;
    list.Add(Sjis("新規"), "", Texts()[2]);
    list.Add("bound", "/home/user/note.txt", Texts()[1]);
    list.Add("raw", "", "\x82\xa0\xff\xfe broken\r\n");
    list.Add("", "", "");
    TMemoryStream t;
    list.SaveToStream(t);
    pages.push_back(t.TakeBytes());
  }
  Put(out, "fuzz_page_file", pages);

  {
    std::deque<TDeletedPage> gone;
    gone.push_back({Sjis("削除"), "", Texts()[2], 0});
    gone.push_back({"bound", "/home/user/a.txt", Texts()[1], 3});
    Put(out, "fuzz_deleted_pages", {TDeletedPages::Serialize({}), TDeletedPages::Serialize(gone)});
  }

  {
    TDataList list;
    list.Add("one", "/home/user/a.txt", "a");
    list.Add("two", "", "b");
    list.Add("three", "/home/user/c.txt", "c");
    list.Items(0)->Format.File.Encoding = TextEncoding::TEncoding::Utf8;
    list.Items(2)->Format.File = {TextEncoding::TEncoding::EucJp, TextEncoding::TLineEnd::Lf};
    list.Items(2)->Format.Lossy = true;
    fs::path side = out / "formats.tmp";
    if (PageFormats::Save(side.string(), list)) {
      std::ifstream in(side, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      Put(out, "fuzz_page_formats", {bytes});
    }
    fs::remove(side);
  }

  Put(out, "fuzz_settings",
      {Ini({{"Editor", "Column", "80"},
            {"Editor", "FindColor", "$FFFF"},
            {"Etc", "Txf", "-io ~txf.tmp"},
            {"Font", "Name", Sjis("ＭＳ ゴシック")},
            {"Window", "Left", "0x10"}}),
       Ini({{"Etc", "Quote", "\" > \""}})});

  Put(out, "fuzz_web_shortcuts",
      {WebShortcuts::Format({WebShortcuts::Line("google", "http://www.google.com/search?q="),
                             WebShortcuts::Line(Sjis("辞書"), "http://example.com/?q=%s"),
                             "no equals sign", WebShortcuts::Line("", "=")})});

  Put(out, "fuzz_class_history",
      {TextLines::Join({"note", "warn", Sjis("日本語"), "a b"}), TextLines::Join({})});

  Put(out, "fuzz_internet_shortcut",
      {Ini({{Favorites::kSection, Favorites::kUrlKey, "http://example.com/"}}),
       Ini({{Favorites::kSection, Favorites::kUrlKey, "file:///home/user/page.html"},
            {"Other", "IconIndex", "0"}}),
       Ini({{Favorites::kSection, Favorites::kUrlKey, Sjis("例え.jp/パス")}}),
       Favorites::ShortcutText("http://example.com/a?b=c"),
       "[Desktop Entry]\nType=Link\nName=Example\nURL=https://example.com/\\s\n"});

  std::vector<std::string> editor;
  for (const std::string& text : Texts()) editor.push_back(std::string("\x01\x50", 2) + text);
  editor.push_back(std::string("\x00\x09", 2) + Texts()[6]);
  Put(out, "fuzz_editor_text", editor);

  // Action streams (see the target): typing, keys with Shift, undo and redo, select-all and
  // replace, clicks, rewrapping, input-method results, cut and paste.
  auto actions = [](std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += char(b);
    return s;
  };
  Put(out, "fuzz_editor_edits",
      {actions({0, 'a', 0, 'b', 1, 8, 2, 3, 1, 0x81, 1, 0x82, 5, 3, 'x', 'y', 'z', 2}),
       actions({4, 10, 11, 11, 2, 6, 16, 16, 0, 7, 8, 5, 1, 10}),
       actions({9, 4, 0x93, 0xfa, 0x96, 0x7b, 1, 10, 1, 8, 2, 2, 3})});

  Put(out, "fuzz_code_page", Texts());

  std::vector<std::string> search;
  for (const std::string& text : Texts()) {
    search.push_back("line\xFFLINE\xFF" + text);
    search.push_back(Sjis("日本") + "\xFF" + Sjis("にほん") + "\xFF" + text);
  }
  search.push_back("\r\n\xFF\xFF" + Texts()[1]);
  Put(out, "fuzz_search_replace", search);

  std::vector<std::string> encoded;
  using E = TextEncoding::TEncoding;
  for (E e : {E::Cp932, E::Utf8, E::Utf8Bom, E::Utf16Le, E::Utf16Be, E::EucJp, E::Iso2022Jp})
    encoded.push_back(TextEncoding::FromCp932(Texts()[2], e));
  Put(out, "fuzz_text_encoding", encoded);
  return 0;
}
