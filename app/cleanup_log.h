// The clean-up log (重複整理): the text log, and the HTML log through the
// report template (its "$LOG$" section for the blocks of parts, "$LOG2$" for
// the blocks of pins and wire points).
//
// The text log, each section ending with an empty line:
//   使用部品数<TAB>%7d            (then an empty line)
//   重複部品数<TAB>%7d            part lines
//   未決定部品数<TAB>%7d          part lines
//   参照番号エラー<TAB>%7d        part lines
//   サブフィックスエラー<TAB>%7d  part lines
//   部品のピン番号重複<TAB>%7d    (number of pairs) pin lines, two per pair
//   部品のピン重複<TAB>%7d        pin lines
//   ネットチェック<TAB>%7d        pin lines and "Wire Point" lines
//   部品にしていないピン<TAB>%7d  pin lines of the free pins
//   最終部品番号[(シート毎)]      " %6s" per prefix, five to a line (per sheet:
//                                 a block headed by the sheet's name)
//   欠番部品番号                  " %6s" per missing number (on request)
//   総ピン数（参考値）<TAB>%7d
// and, when the run kept the nets, the sheets left as they were with the
// nets that would have changed. A count is the number of lines listed
// (the pairs for the pin numbers). Item lines:
//   part  "%s\t%s\t%s\tX:%4d.%02d Y:%4d.%02d"  reference, part name, sheet, centre
//   pin   "%5s(%4s)\t%s\tX:%4d.%02d Y:%4d.%02d"  reference, pin number, sheet, point
//   wire  "Wire Point\t%s\tX:%4d.%02d Y:%4d.%02d"  sheet, the wire's start
// with coordinates in hundredths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/cleanup_check.h"
#include "app/html_template.h"

namespace tavro {

// A covered sheet as the log names it.
struct LogSheet {
  std::string name;  // CP932: the document's name
  std::string path;  // full platform path (UTF-8)
  int number = 0;    // in the project, from 1
};

// The text log (CP932, LF line ends).
std::string ComposeCleanupLog(const CleanupFindings& findings, const std::vector<LogSheet>& sheets);

// The HTML log; `files` are the project's files for "$FILELIST$" (CP932).
std::string ComposeCleanupHtml(const CleanupFindings& findings, const std::vector<LogSheet>& sheets,
                               const HtmlTemplate& tmpl, const std::vector<std::string>& files,
                               std::string_view date);

}  // namespace tavro
