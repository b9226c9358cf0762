#include "TextTransforms.h"

#include <vector>

#include "TextLines.h"

namespace TextTransforms {

using TextLines::ReplaceAll;

std::string ConvP(std::string_view text) {
  // The order matters: each step tidies what the steps before it leave behind.
  std::string s = ReplaceAll(text, "\r\n", "<br />\r\n");
  s = ReplaceAll(s, "\r\n<br />\r\n", "\r\n\r\n");
  s = ReplaceAll(s, "\r\n\r\n", "</p>\r\n\r\n<p>");
  s = "<p>" + s + "</p>";
  s = ReplaceAll(s, "<br />\r\n</p>", "</p>");
  s = ReplaceAll(s, "<br /></p>", "</p>");
  s = ReplaceAll(s, "<br /><br />", "<br />");
  s = ReplaceAll(s, "<p><p>", "<p>");
  return ReplaceAll(s, "</p></p>", "</p>");
}

std::string HtmlEncode(std::string_view text) {
  // The ampersand first, so the entities made afterwards stay as they are.
  std::string s = ReplaceAll(text, "&", "&amp;");
  s = ReplaceAll(s, "<", "&lt;");
  s = ReplaceAll(s, ">", "&gt;");
  return ReplaceAll(s, "\"", "&quot;");
}

std::string MailEncode(std::string_view text) {
  return ReplaceAll(ReplaceAll(text, "@", "&#64;"), ".", "&#46;");
}

namespace {

// The lines between an opening and a closing line, every line ending in CR LF. The lines hold
// no line breaks (they come from Split), so splitting and joining this again changes nothing.
std::string Wrap(std::vector<std::string> lines, std::string_view open, std::string_view close) {
  std::string out(open);
  out += "\r\n";
  out += TextLines::Join(lines);
  out += close;
  out += "\r\n";
  return out;
}

}  // namespace

std::string MakeList(std::string_view text, std::string_view element) {
  std::vector<std::string> lines = TextLines::Split(text);
  for (std::string& line : lines) line = "<li>" + line + "</li>";
  std::string name(element);
  return Wrap(std::move(lines), "<" + name + ">", "</" + name + ">");
}

std::string MakeTable(std::string_view text, std::string_view separator, int border) {
  std::vector<std::string> lines = TextLines::Split(text);
  for (std::string& line : lines)
    line = "<tr><td>" + ReplaceAll(line, separator, "</td><td>") + "</td></tr>";
  return Wrap(std::move(lines), "<table border=\"" + std::to_string(border) + "\">", "</table>");
}

std::string QuoteLines(std::string_view text, std::string_view mark) {
  std::vector<std::string> lines = TextLines::Split(text);
  for (std::string& line : lines) line.insert(0, mark);
  return TextLines::Join(lines);
}

std::string QuoteTag(std::string_view text) {
  // The editor drops everything from a NUL on; cutting here keeps the closing tags.
  text = text.substr(0, text.find('\0'));
  std::string out = "<blockquote><p>";
  out += text;
  out += "</p></blockquote>";
  return out;
}

namespace {

// value in decimal, zero-padded to width digits.
std::string Digits(int value, size_t width) {
  std::string s = std::to_string(value);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

std::string Date(const std::tm& t, std::string_view sep) {
  std::string out = Digits(t.tm_year + 1900, 4);
  out.append(sep).append(Digits(t.tm_mon + 1, 2));
  out.append(sep).append(Digits(t.tm_mday, 2));
  return out;
}

}  // namespace

std::string DateStamp(const std::tm& time, std::string_view dateSeparator) {
  return "(" + Date(time, dateSeparator) + ")";
}

std::string DateTimeStamp(const std::tm& time, std::string_view dateSeparator,
                          std::string_view timeSeparator) {
  std::string out = "(" + Date(time, dateSeparator) + " " + Digits(time.tm_hour, 2);
  out.append(timeSeparator).append(Digits(time.tm_min, 2));
  out.append(timeSeparator).append(Digits(time.tm_sec, 2));
  return out + ")";
}

}  // namespace TextTransforms
