#include "downloads/file_name.h"

#include <vector>

#include "downloads/invisible_characters.h"

namespace kf::downloads {
namespace {

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecode(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

struct Parameter {
  std::string name;
  std::string value;
};

// The parameters after the disposition type: name=token or name="quoted \" text", split at ";"
// outside quotes.
std::vector<Parameter> parameters(std::string_view header) {
  std::vector<Parameter> found;
  std::size_t pos = header.find(';');
  while (pos != std::string_view::npos && pos < header.size()) {
    ++pos;
    const std::size_t equals = header.find_first_of("=;", pos);
    if (equals == std::string_view::npos || header[equals] == ';') {
      pos = equals;
      continue;
    }
    Parameter parameter{std::string(trimmed(header.substr(pos, equals - pos))), {}};
    std::size_t at = equals + 1;
    while (at < header.size() && (header[at] == ' ' || header[at] == '\t')) ++at;
    if (at < header.size() && header[at] == '"') {
      for (++at; at < header.size() && header[at] != '"'; ++at) {
        if (header[at] == '\\' && at + 1 < header.size()) ++at;
        parameter.value += header[at];
      }
      pos = header.find(';', at);
    } else {
      pos = header.find(';', at);
      parameter.value = std::string(trimmed(header.substr(at, pos == std::string_view::npos ? pos : pos - at)));
    }
    found.push_back(std::move(parameter));
  }
  return found;
}

// "UTF-8'language'percent-encoded"; other character sets are not taken.
std::optional<std::string> extendedValue(std::string_view value) {
  const std::size_t first = value.find('\'');
  const std::size_t second = first == std::string_view::npos ? first : value.find('\'', first + 1);
  if (second == std::string_view::npos || !equalsNoCase(value.substr(0, first), "utf-8")) return std::nullopt;
  return percentDecode(value.substr(second + 1));
}

// The length of the valid UTF-8 sequence at text[i], 0 when none starts there. Overlong forms,
// surrogates and code points above U+10FFFF are not valid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned min, max;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, max = 0xBF;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = lead == 0xE0 ? 0xA0 : 0x80, max = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = lead == 0xF0 ? 0x90 : 0x80, max = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + length > text.size() || byte(i + 1) < min || byte(i + 1) > max) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// The code point of the valid UTF-8 sequence of `length` bytes at text[i].
char32_t codePointAt(std::string_view text, std::size_t i, std::size_t length) {
  const auto byte = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(text[i + k])); };
  if (length == 1) return byte(0);
  char32_t value = byte(0) & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) value = value << 6 | (byte(k) & 0x3F);
  return value;
}

// Cuts `text` to at most `limit` bytes without splitting a UTF-8 sequence (the text is valid UTF-8).
std::string cutUtf8(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

}  // namespace

std::optional<std::string> nameFromContentDisposition(std::string_view header) {
  std::optional<std::string> plain;
  for (const Parameter &parameter : parameters(header)) {
    if (equalsNoCase(parameter.name, "filename*")) {
      if (auto extended = extendedValue(parameter.value)) return extended;
    } else if (equalsNoCase(parameter.name, "filename") && !plain) {
      plain = parameter.value;
    }
  }
  return plain;
}

std::string nameFromAddress(std::string_view address) {
  const std::size_t scheme = address.find("://");
  std::string_view rest = scheme == std::string_view::npos ? address : address.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("?#"));
  const std::size_t pathStart = rest.find('/');
  if (pathStart == std::string_view::npos) return {};
  return percentDecode(rest.substr(rest.rfind('/') + 1));
}

std::string safeFileName(std::string_view suggested) {
  std::string name;
  for (std::size_t i = 0; i < suggested.size();) {
    const std::size_t length = utf8SequenceLength(suggested, i);
    const auto c = static_cast<unsigned char>(suggested[i]);
    if (length == 0 || c == '/' || c == '\\') {
      name += '_';
    } else if (!isInvisibleCharacter(codePointAt(suggested, i, length))) {
      name.append(suggested.substr(i, length));
    }
    i += length == 0 ? 1 : length;
  }
  // A leading dot would hide the file, a name of dots would name a folder, and a leading dash makes
  // the name an option to whatever program the file is handed to.
  name.erase(0, name.find_first_not_of(".- "));
  name.erase(name.find_last_not_of(' ') + 1);
  if (name.size() > kMaxNameBytes) {
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot != std::string::npos && name.size() - dot <= 16 ? name.substr(dot) : "";
    name = cutUtf8(name.substr(0, name.size() - extension.size()), kMaxNameBytes - extension.size()) + extension;
  }
  return name.empty() ? std::string(kFallbackName) : name;
}

std::string downloadName(std::string_view disposition, std::string_view address) {
  const std::optional<std::string> suggested = nameFromContentDisposition(disposition);
  return safeFileName(suggested && !suggested->empty() ? *suggested : nameFromAddress(address));
}

}  // namespace kf::downloads
