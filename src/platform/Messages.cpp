#include "Messages.h"

#include <map>

unsigned RegisterWindowMessage(const std::string& name) {
  // Names compare case-insensitively, as registered window messages do.
  static std::map<std::string, unsigned> ids;
  std::string key;
  for (char c : name) key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  auto it = ids.find(key);
  if (it != ids.end()) return it->second;
  unsigned id = 0xC000u + static_cast<unsigned>(ids.size());
  ids.emplace(key, id);
  return id;
}
