#include "site/library/search_folding.h"

#include <algorithm>
#include <array>

#include "site/library/composed.h"

namespace kf::site::library {
namespace {

// U+00C0 to U+017F, the Latin letters of Western and Central European languages, without their
// accents and in small letters; the two signs among them (multiplication, division) part words.
constexpr std::array<const char *, 0x180 - 0xC0> kLatin = {
    "a", "a", "a",  "a",  "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // U+00C0
    "d", "n", "o",  "o",  "o", "o", "o",  " ", "o", "u", "u", "u", "u", "y", "th", "ss",  // U+00D0
    "a", "a", "a",  "a",  "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // U+00E0
    "d", "n", "o",  "o",  "o", "o", "o",  " ", "o", "u", "u", "u", "u", "y", "th", "y",   // U+00F0
    "a", "a", "a",  "a",  "a", "a", "c",  "c", "c", "c", "c", "c", "c", "c", "d",  "d",   // U+0100
    "d", "d", "e",  "e",  "e", "e", "e",  "e", "e", "e", "e", "e", "g", "g", "g",  "g",   // U+0110
    "g", "g", "g",  "g",  "h", "h", "h",  "h", "i", "i", "i", "i", "i", "i", "i",  "i",   // U+0120
    "i", "i", "ij", "ij", "j", "j", "k",  "k", "k", "l", "l", "l", "l", "l", "l",  "l",   // U+0130
    "l", "l", "l",  "n",  "n", "n", "n",  "n", "n", "n", "n", "n", "o", "o", "o",  "o",   // U+0140
    "o", "o", "oe", "oe", "r", "r", "r",  "r", "r", "r", "s", "s", "s", "s", "s",  "s",   // U+0150
    "s", "s", "t",  "t",  "t", "t", "t",  "t", "u", "u", "u", "u", "u", "u", "u",  "u",   // U+0160
    "u", "u", "u",  "u",  "w", "w", "y",  "y", "y", "z", "z", "z", "z", "z", "z",  "s",   // U+0170
};

constexpr char32_t kBeyondLatin = 0xFFFF;
// Each one costs the index a pass; "Käse" and "kaese" are one.
constexpr std::size_t kMostTokens = 16;

// The code point at `at` and its length in bytes; a byte that starts no valid sequence stands alone.
// Longer sequences lie beyond the table, and which character they are does not matter here.
std::pair<char32_t, size_t> next(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const auto follow = [&](size_t n) {
    for (size_t i = 1; i <= n; ++i) {
      if (at + i >= text.size() || (byte(i) & 0xC0) != 0x80) return false;
    }
    return true;
  };
  if (byte(0) >= 0xC2 && byte(0) <= 0xDF && follow(1)) return {((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F), 2};
  if (byte(0) >= 0xE0 && byte(0) <= 0xEF && follow(2)) return {kBeyondLatin, 3};
  if (byte(0) >= 0xF0 && byte(0) <= 0xF4 && follow(3)) return {kBeyondLatin, 4};
  return {byte(0), 1};
}

bool wordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::string foldForSearch(std::string_view utf8) {
  // "a" with a combining diaeresis is "ä" before it is folded.
  const std::string text = composed(utf8);
  std::string plain;
  plain.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto [cp, length] = next(text, at);
    if (cp >= 'A' && cp <= 'Z') {
      plain += static_cast<char>(cp + 32);
    } else if (cp >= 0xC0 && cp < 0x180) {
      plain += kLatin[cp - 0xC0];
    } else {
      // Other scripts go on as they are: the index's tokenizer folds their case and marks alike on
      // both sides.
      plain.append(text, at, length);
    }
    at += length;
  }
  // "Kaese" and "Käse" meet: both come to "kase". Only after the umlauts are gone, so that "äe"
  // meets "ae" too.
  std::string out;
  out.reserve(plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    out += plain[i];
    const bool pair =
        i + 1 < plain.size() && plain[i + 1] == 'e' && (plain[i] == 'a' || plain[i] == 'o' || plain[i] == 'u');
    if (pair) ++i;
  }
  return out;
}

std::vector<std::string> searchTokens(std::string_view utf8) {
  const std::string folded = foldForSearch(utf8);
  std::vector<std::string> tokens;
  std::string token;
  for (char c : folded) {
    if (wordCharacter(c)) {
      token += c;
    } else if (!token.empty()) {
      tokens.push_back(std::move(token));
      token.clear();
    }
  }
  if (!token.empty()) tokens.push_back(std::move(token));
  return tokens;
}

std::string matchExpression(const std::vector<std::string> &words) {
  std::vector<std::string> tokens;
  for (const auto &word : words) {
    for (auto &token : searchTokens(word)) {
      if (tokens.size() < kMostTokens && std::find(tokens.begin(), tokens.end(), token) == tokens.end())
        tokens.push_back(std::move(token));
    }
  }
  std::string expression;
  for (const auto &token : tokens) expression += (expression.empty() ? "\"" : " \"") + token + "\"*";
  return expression;
}

}  // namespace kf::site::library
