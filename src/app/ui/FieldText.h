// Text from the user's dialog fields into code page 932, and how characters code page 932
// lacks are named to the user. Fields refuse them; URLs keep them percent-encoded.
#pragma once
#include <QString>
#include <optional>
#include <string>

#include "platform/CodePage.h"

// "😀 (U+1F600)、한 (U+D55C)" for the characters a conversion could not represent.
QString UnmappedNames(const CodePage::TConversion& c);

// The status bar's account of text that entered the editor with such characters changed.
QString UnmappedReport(const CodePage::TConversion& c, CodePage::TUnmapped as);

// A field's text in code page 932. A character code page 932 lacks is refused: the user is
// told which one and in which field, and nothing comes back.
std::optional<std::string> FieldCp932(const QString& text, const QString& field);

// A URL's text in code page 932; characters code page 932 lacks stay as UTF-8
// percent-encoding, which web sites expect, so the URL keeps working.
std::string UrlCp932(const QString& text);
