// The HTML report template: one data file, "tavrohtml.dat" (CP932 text),
// gives every HTML report of the system its page (the net report, the net
// index and the clean-up log).
//
// The file is cut at markers:
//   - the common frame: the text after the first "$COMMON$" (the marker and
//     the one character after it, a line end, skipped) up to "$BLOCKIN$" is
//     the page head; the text after "$BLOCKIN$" (again with the one character
//     after it) up to the next "$COMMON$" is the page tail. A report is page
//     head + its body + page tail;
//   - sections: the text between the first occurrence of a section's marker
//     ("$RPT$", "$RPT_HEAD$", "$NET$", "$LOG$", "$LOG2$") and the next
//     occurrence of the same marker;
//   - blocks: a section cut at "$BLOCKFOR$" and "$BLOCKNEXT$" gives the
//     block head (before "$BLOCKFOR$", "$BLOCKTITLE$" in it is the block's
//     title), the row template (between the two, once per row with the row
//     placeholders replaced) and the block end (after "$BLOCKNEXT$").
// A missing file or a missing marker gives empty parts: the report is then
// written with an empty head, tail or block.
//
// Page placeholders, replaced in the page head: "$TITLE$", "$DATE$" and
// "$FILELIST$" (the sheet files as the entries of a script list: an empty
// entry first, so that file number 1 is the second entry, each name in
// double quotes with its backslashes doubled, followed by ",\r\n", the last
// by "\r\n"). Row placeholders: see HtmlRow.
//
// Every value substituted into the page is plain text, so its "&", "<", ">"
// and quotes are written as character references: a net called "A<B" or a
// file "R&D.tcd" shows as such and never becomes markup. Placeholders are
// replaced in one pass, so a value that looks like a placeholder stays as it
// is. The template's own text is taken as it stands; a file with CR LF line
// ends is read as if they were LF.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// The values of the page placeholders (CP932).
struct HtmlPage {
  std::string title;                  // "$TITLE$"
  std::string date;                   // "$DATE$", "%Y/%m/%d  %H:%M:%S"
  std::vector<std::string> fileList;  // "$FILELIST$": the sheet files, file number 1 first
};

// One row of a block (CP932 plain text; an empty field is replaced by
// nothing).
struct HtmlRow {
  std::string netName;   // "$NETNAME$"
  std::string alias;     // "$ALIAS$": the net's further names
  std::string ref;       // "$REF$": part reference, "Wire" for a wire row
  std::string partName;  // "$PARTNAME$"
  std::string pinNo;     // "$PINNO$": pin number, "Point" for a wire row
  std::string pinName;   // "$PINNAME$"
  std::string pinElect;  // "$PINELECT$": the pin's electrical type name
  std::string path;      // "$PATH$": sheet file path
  std::string file;      // "$FILE$": sheet file name
  std::string docNo;     // "$DOCNO$": the sheet's number in the project
  std::string x;         // "$X$", "%4d.%02d"
  std::string y;         // "$Y$"
  // The item number of the jump link "$TAGJUMP$" ("&[TAVRO]AUTOTAGJUMP&%ld");
  // without one the row's running number ("$SERNO$") is taken.
  std::optional<long> item;
};

// Where "tavrohtml.dat" is looked up: the data folder of the program.
std::string HtmlTemplatePath();
// The warning (UTF-8) for a template that could not be read.
std::string MissingTemplateWarning(const std::string& path);

class HtmlTemplate {
 public:
  // A template without any marker: every part empty.
  HtmlTemplate() = default;
  explicit HtmlTemplate(std::string_view text);
  // Reads the file at `path` (HtmlTemplatePath() when empty); a file that
  // cannot be read gives the empty template, and `found` (when given) false.
  static HtmlTemplate Load(const std::string& path = {}, bool* found = nullptr);

  // The page head with the page placeholders replaced, and the page tail.
  std::string PageHead(const HtmlPage& page) const;
  const std::string& PageTail() const { return tail_; }
  // The text of a section (marker with its dollar signs, "$RPT$"); empty
  // when the marker is missing or not closed.
  std::string Section(std::string_view marker) const;
  // A block of a section: its head with the title, one row per row, its end.
  // With `page`, the page placeholders are replaced in the block's head and
  // end as well.
  std::string Block(std::string_view marker, std::string_view title,
                    const std::vector<HtmlRow>& rows, const HtmlPage* page = nullptr) const;

 private:
  std::string text_;
  std::string head_;
  std::string tail_;
};

// Plain text made safe in HTML text and attribute values: "&", "<", ">",
// '"' and "'" as character references (never the byte of a double-byte
// character: these are all below 0x40).
std::string EscapeHtml(std::string_view text);
// The value of "$FILELIST$" (names escaped).
std::string HtmlFileList(const std::vector<std::string>& files);

// A placeholder and the text that replaces it.
struct HtmlValue {
  std::string_view placeholder;  // with its dollar signs, "$TITLE$"
  std::string_view text;         // as it is to appear (already escaped)
};
// Every occurrence of the placeholders in `text` replaced in one pass: a
// value is never searched for placeholders itself.
std::string Substitute(std::string_view text, std::initializer_list<HtmlValue> values);

}  // namespace tavro
