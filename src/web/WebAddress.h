// What the text typed in a browser window's address box (or kept as a favourite) asks for.
#pragma once
#include <string>
#include <string_view>

namespace web {

enum class TAddressKind {
  None,       // blank: nothing to open
  Url,        // has its scheme ("http://...", "file:///...", "about:blank")
  LocalPath,  // an absolute path of this machine
};

struct TAddress {
  TAddressKind kind = TAddressKind::None;
  std::string text;  // UTF-8, trimmed; a bare host name gets "http://" in front
};

// As a browser's address box reads it: surrounding blanks dropped, "/..." a local file,
// a scheme kept, anything else (a host with or without a path or port) taken as http.
TAddress ParseAddress(std::string_view utf8);

}  // namespace web
