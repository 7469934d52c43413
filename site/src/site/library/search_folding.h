#pragma once
// One folding for the words put into the index and the words searched for, so that "kase", "käse"
// and "kaese" all find "Käse", "strasse" finds "Straße" and "ubung" finds "Übung".
#include <string>
#include <string_view>
#include <vector>

namespace kf::site::library {

// Small letters without accents, "ß" as "ss", and the spellings "ae", "oe", "ue" as "a", "o", "u".
std::string foldForSearch(std::string_view utf8);

// The folded words of a text, parted where the index parts them.
std::vector<std::string> searchTokens(std::string_view utf8);

// The full-text query that finds every word, each as the start of a word, each folded word once and
// the first sixteen of them; empty when the words hold nothing to search for.
std::string matchExpression(const std::vector<std::string> &words);

}  // namespace kf::site::library
