// The text commands' rewrites: paragraphs, entity encodings, lists, tables, quotations and
// date stamps. Text is code page 932 bytes with CR LF line breaks; nothing here touches the
// editor or the clock.
#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace TextTransforms {

// An empty line separates paragraphs ("<p>" ... "</p>"), a single line break becomes
// "<br />" before it, and a break at the end is absorbed into the closing "</p>".
std::string ConvP(std::string_view text);

// &, <, > and the double quote as entities.
std::string HtmlEncode(std::string_view text);

// Every "@" and "." as a numeric entity.
std::string MailEncode(std::string_view text);

// Each line as an "<li>" item inside <element> ... </element>; ends with CR LF.
std::string MakeList(std::string_view text, std::string_view element);

// Each line a table row, its cells cut at separator; ends with CR LF.
std::string MakeTable(std::string_view text, std::string_view separator, int border);

// Every line of text with mark before it (empty lines too); ends with CR LF, or is empty when
// the text has no lines.
std::string QuoteLines(std::string_view text, std::string_view mark);

// text inside "<blockquote><p>" ... "</p></blockquote>", not split into lines.
std::string QuoteTag(std::string_view text);

// "(yyyy/mm/dd)" and "(yyyy/mm/dd hh:nn:ss)" with the given separators in place of "/" and ":".
std::string DateStamp(const std::tm& time, std::string_view dateSeparator);
std::string DateTimeStamp(const std::tm& time, std::string_view dateSeparator,
                          std::string_view timeSeparator);

}  // namespace TextTransforms
