// Headers and footers of the netlist formats.
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/platform/clock.h"

namespace tavro {

namespace {

// The three lines a header template receives.
constexpr std::string_view kHeadTitle = " Tavro Net List File";
constexpr std::string_view kHeadFile = "   File : %s";
constexpr std::string_view kHeadDate = "   Date : %s";

}  // namespace

std::string FormatTemplate(std::string_view tmpl, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(tmpl.size() + 64);
  auto next = args.begin();
  for (size_t i = 0; i < tmpl.size(); ++i) {
    const char c = tmpl[i];
    if (c != '%' || i + 1 >= tmpl.size()) {
      out += c;
      continue;
    }
    const char d = tmpl[i + 1];
    if (d == '%') {
      out += '%';
      ++i;
    } else if (d == 's') {
      if (next != args.end()) out += *next++;
      ++i;
    } else {
      out += c;  // not a conversion this formatter knows: kept as it stands
    }
  }
  return out;
}

std::string CNet::MakeHead(int format) {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || !f->head) return {};
  if (f->headArgs == HeadArgs::kDateOnly) return FormatTemplate(f->head, {kHeadDate});
  return FormatTemplate(f->head, {kHeadTitle, kHeadFile, kHeadDate});
}

std::string CNet::MakeTail(int format) {
  const NetlistFormat* f = FindNetlistFormat(format);
  return f && f->tail ? std::string(f->tail) : std::string();
}

std::string NetlistHeader(int format, std::string_view fileName, std::string_view date) {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || !f->head) return {};
  const std::string head = CNet::MakeHead(format);
  if (f->headArgs == HeadArgs::kDateOnly) return FormatTemplate(head, {date});
  return FormatTemplate(head, {fileName, date});
}

std::string NetlistDate() { return FormatTime("%Y/%m/%d  %H:%M:%S", Now()); }

}  // namespace tavro
