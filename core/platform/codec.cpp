#include "core/platform/codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace tavro {

namespace {

// One iconv descriptor per direction, opened on first use in each thread and
// closed when the thread ends. A netlist converts many short strings, so the
// descriptors are reused (reset before each conversion).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible of [in, in + left). Returns 0 when all input
  // is consumed, otherwise the errno of the stop (EILSEQ or EINVAL); `in` and
  // `left` then point at the offending input. Output is appended to `out`.
  int Run(const char*& in, size_t& left, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[1024];
    while (left > 0) {
      char* inp = const_cast<char*>(in);
      char* outp = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &inp, &left, &outp, &room);
      int err = r == static_cast<size_t>(-1) ? errno : 0;
      in = inp;
      out.append(buf, static_cast<size_t>(outp - buf));
      if (err == E2BIG) continue;
      if (err != 0) return err;
    }
    // Flush any shift state (CP932 and UTF have none, but this is cheap).
    char* outp = buf;
    size_t room = sizeof buf;
    iconv(cd_, nullptr, nullptr, &outp, &room);
    out.append(buf, static_cast<size_t>(outp - buf));
    return 0;
  }

 private:
  iconv_t cd_;
};

Converter& Cp932ToUtf8Conv() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}
Converter& Utf8ToCp932Conv() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}
Converter& Cp932ToUtf16Conv() {
  thread_local Converter c("UTF-16LE", "CP932");
  return c;
}
Converter& Utf16ToCp932Conv() {
  thread_local Converter c("CP932", "UTF-16LE");
  return c;
}

// Length of the well-formed UTF-8 sequence at p (1 to 4), or 0 when the bytes
// there are not one.
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  unsigned char c = p[0];
  size_t n;
  uint32_t cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (left < n) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

void AppendUtf16Le(std::string& out, char16_t u) {
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>(u >> 8);
}

// Decodes CP932 through `conv`; each byte that cannot start a character is
// replaced by `replacement` (already in the target encoding).
std::string Decode(Converter& conv, std::string_view cp932, std::string_view replacement,
                   size_t* invalid) {
  std::string out;
  out.reserve(cp932.size() * 2);
  size_t bad = 0;
  const char* in = cp932.data();
  size_t left = cp932.size();
  if (!conv.ok()) {
    // No converter: keep ASCII, replace everything else.
    for (char c : cp932) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
        if (replacement.size() == 2) out += '\0';  // UTF-16LE
      } else {
        out.append(replacement);
        ++bad;
      }
    }
    if (invalid) *invalid = bad;
    return out;
  }
  while (left > 0) {
    if (conv.Run(in, left, out) == 0) break;
    // An undecodable byte (or a lead byte cut off at the end): replace that
    // one byte and go on with the next.
    out.append(replacement);
    ++bad;
    ++in;
    --left;
  }
  if (invalid) *invalid = bad;
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932, size_t* invalid) {
  return Decode(Cp932ToUtf8Conv(), cp932, "\xEF\xBF\xBD", invalid);
}

std::u16string Cp932ToUtf16(std::string_view cp932, size_t* invalid) {
  std::string rep;
  AppendUtf16Le(rep, static_cast<char16_t>(kReplacementChar));
  std::string le = Decode(Cp932ToUtf16Conv(), cp932, rep, invalid);
  std::u16string out;
  out.reserve(le.size() / 2);
  for (size_t i = 0; i + 1 < le.size(); i += 2) {
    out += static_cast<char16_t>(static_cast<unsigned char>(le[i]) |
                                 (static_cast<unsigned char>(le[i + 1]) << 8));
  }
  return out;
}

std::string Utf8ToCp932(std::string_view utf8, size_t* invalid) {
  std::string out;
  out.reserve(utf8.size());
  size_t bad = 0;
  Converter& conv = Utf8ToCp932Conv();
  const char* in = utf8.data();
  size_t left = utf8.size();
  while (left > 0) {
    int err = conv.ok() ? conv.Run(in, left, out) : EILSEQ;
    if (err == 0) break;
    // Skip the whole character when it is well-formed UTF-8 that CP932 lacks,
    // one byte when the UTF-8 itself is broken.
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    size_t n = Utf8SequenceLength(p, left);
    if (n == 0) n = 1;
    if (!conv.ok() && n == 1 && p[0] < 0x80) {
      out += static_cast<char>(p[0]);
    } else {
      out += kCp932Replacement;
      ++bad;
    }
    in += n;
    left -= n;
  }
  if (invalid) *invalid = bad;
  return out;
}

std::string Utf16ToCp932(std::u16string_view utf16, size_t* invalid) {
  std::string le;
  le.reserve(utf16.size() * 2);
  for (char16_t u : utf16) AppendUtf16Le(le, u);
  std::string out;
  out.reserve(utf16.size() * 2);
  size_t bad = 0;
  Converter& conv = Utf16ToCp932Conv();
  const char* in = le.data();
  size_t left = le.size();
  while (left > 0) {
    int err = conv.ok() ? conv.Run(in, left, out) : EILSEQ;
    if (err == 0) break;
    // One code unit, or both halves of a surrogate pair, becomes one '?'.
    size_t unit = (le.size() - left) / 2;
    char16_t u = utf16[unit];
    size_t units = 1;
    if (u >= 0xD800 && u <= 0xDBFF && unit + 1 < utf16.size() && utf16[unit + 1] >= 0xDC00 &&
        utf16[unit + 1] <= 0xDFFF)
      units = 2;
    if (!conv.ok() && u < 0x80) {
      out += static_cast<char>(u);
    } else {
      out += kCp932Replacement;
      ++bad;
    }
    in += units * 2;
    left -= units * 2;
  }
  if (invalid) *invalid = bad;
  return out;
}

}  // namespace tavro
