#include "TextLines.h"

#include "FenEdit/FindMatcher.h"

namespace TextLines {

std::vector<std::string> Split(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    size_t brk = text.find_first_of("\r\n", from);
    if (brk == std::string_view::npos) {
      lines.emplace_back(text.substr(from));
      break;
    }
    lines.emplace_back(text.substr(from, brk - from));
    from = brk + (text.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty() || what.find('\0') != std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  // The editor's matcher stops at a NUL, so it is given the text piece by piece between NULs;
  // a NUL is a character of its own, so every piece starts a character.
  size_t from = 0;
  for (;;) {
    size_t nul = text.find('\0', from);
    std::string_view piece =
        text.substr(from, nul == std::string_view::npos ? std::string_view::npos : nul - from);
    size_t pos = 0;
    while (int hit = FindMatch(piece.substr(pos), what)) {
      size_t at = pos + static_cast<size_t>(hit) - 1;
      out.append(piece.substr(pos, at - pos));
      out.append(with);
      pos = at + what.size();
    }
    out.append(piece.substr(pos));
    if (nul == std::string_view::npos) break;
    out += '\0';
    from = nul + 1;
  }
  return out;
}

}  // namespace TextLines
