// FindMatch: the host's matcher for the editor's search.
#include "FindMatcher.h"

#include <cstring>

#include "platform/CodePage.h"

namespace {

std::string_view UpToNul(std::string_view s) {
  const void* nul = std::memchr(s.data(), '\0', s.size());
  return nul ? s.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - s.data())) : s;
}

bool IsLead(char c) {
  return CodePage::IsDBCSLeadByte(static_cast<unsigned char>(c));
}

}  // namespace

int FindMatch(std::string_view str, std::string_view what) {
  what = UpToNul(what);
  if (what.empty() || str.empty()) return 0;
  // str is not cut first: a hit counts when no NUL comes before it (what holds none), so only
  // the bytes up to each hit are checked.
  size_t checked = 0;
  // known: a position known to start a character, at or before every candidate still to come,
  // so that the walk back over lead-byte values never covers the same bytes twice.
  size_t known = 0;
  size_t from = 0;
  while (from < str.size()) {
    const void* hit = memmem(str.data() + from, str.size() - from, what.data(), what.size());
    if (!hit) return 0;
    size_t p = static_cast<size_t>(static_cast<const char*>(hit) - str.data());
    if (std::memchr(str.data() + checked, '\0', p - checked)) return 0;
    checked = p;
    // A byte after a run of k lead-byte values that starts at a character start is a
    // trail byte when k is odd; CR and LF never are.
    bool trail = false;
    if (p > known && str[p] != '\r' && str[p] != '\n') {
      size_t j = p;
      while (j > known && IsLead(str[j - 1])) --j;
      trail = (p - j) % 2 == 1;
    }
    if (!trail) return static_cast<int>(p) + 1;
    known = p + 1;  // the character p belongs to ends here
    from = p + 1;
  }
  return 0;
}
