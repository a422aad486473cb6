// Text helpers shared by the netlist writers.
#include <cstdarg>
#include <cstdio>

#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/net/net.h"
#include "core/net/netlist_writers.h"
#include "core/platform/dbcs.h"

namespace tavro::netlist {

std::string Sprintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list copy;
  va_copy(copy, ap);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), fmt, ap);
    out.resize(static_cast<size_t>(n));
  }
  va_end(ap);
  return out;
}

void TrimEnd(std::string& s) { StripEnd(s, " \t\r\n"); }

void StripEnd(std::string& s, std::string_view set) {
  // Blanks, commas and line ends are single bytes that never occur as the
  // second byte of a double-byte character.
  while (!s.empty() && set.find(s.back()) != std::string_view::npos) s.pop_back();
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string FitWidth(std::string_view s, size_t width) {
  std::string out(CutBytes(s, width));
  out.resize(width, ' ');
  return out;
}

std::string StripGate(std::string_view ref) {
  size_t end = ref.size();
  while (end > 0 && !(ref[end - 1] >= '0' && ref[end - 1] <= '9')) --end;
  return std::string(end == 0 ? ref : ref.substr(0, end));
}

std::string LineStart(const NetLine& line) {
  return Sprintf(line.format.lineStart, line.name.c_str());
}

std::vector<std::string> Nodes(const NetLine& line) {
  std::vector<std::string> nodes;
  nodes.reserve(line.net.Entries().size());
  for (const auto& e : line.net.Entries()) nodes.push_back(e->MakeString(line.format.number));
  return nodes;
}

std::vector<const CPin*> PackagePins(const NetPackage& package) {
  std::vector<const CPin*> pins;
  for (const CPart* gate : package.gates) {
    for (const auto& pin : gate->Pins()) {
      bool seen = false;
      for (const CPin* p : pins)
        if (p->GetNo() == pin->GetNo()) {
          seen = true;
          break;
        }
      if (!seen) pins.push_back(pin.get());
    }
  }
  return pins;
}

std::string IndexedName(const CPin& pin) {
  const std::string& n = pin.GetNetName();
  return n == kNetIndexMark ? std::string() : n;
}

}  // namespace tavro::netlist
