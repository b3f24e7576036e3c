#include "game/steam_libraries.hpp"

#include <optional>
#include <string>

namespace kartwerk::game {
namespace {

struct Token {
  enum Kind { Text, Open, Close } kind;
  std::string text;
};

// Reads the KeyValues text token by token: quoted or bare texts and braces.
class VdfTokens {
 public:
  explicit VdfTokens(std::string_view text) : text_(text) {}

  std::optional<Token> Next() {
    SkipSpaceAndComments();
    if (at_ >= text_.size()) return std::nullopt;
    const char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return Token{c == '{' ? Token::Open : Token::Close, {}};
    }
    if (c == '"') return Quoted();
    std::string bare;
    while (at_ < text_.size() && !IsSpace(text_[at_]) && text_[at_] != '{' && text_[at_] != '}' && text_[at_] != '"') {
      bare += text_[at_++];
    }
    return Token{Token::Text, bare};
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

  void SkipSpaceAndComments() {
    for (;;) {
      while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
      if (text_.substr(at_, 2) != "//") return;
      while (at_ < text_.size() && text_[at_] != '\n') ++at_;
    }
  }

  // Steam escapes backslashes and quotes inside quoted texts ("C:\\Games").
  std::optional<Token> Quoted() {
    std::string out;
    for (++at_; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return Token{Token::Text, out};
      }
      if (c == '\\' && at_ + 1 < text_.size()) {
        const char e = text_[++at_];
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        continue;
      }
      out += c;
    }
    return std::nullopt;  // unterminated: the text ends here
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

std::vector<std::filesystem::path> SteamLibraryFolders(std::string_view vdf) {
  std::vector<std::filesystem::path> folders;
  VdfTokens tokens(vdf);
  // Depth 1 is inside the outer block, depth 2 inside one library's block.
  int depth = 0;
  std::optional<std::string> key;
  while (const std::optional<Token> token = tokens.Next()) {
    if (token->kind == Token::Open) {
      ++depth;
      key.reset();
    } else if (token->kind == Token::Close) {
      if (--depth < 0) break;
      key.reset();
    } else if (!key) {
      key = token->text;
    } else {
      const bool newForm = depth == 2 && *key == "path";
      const bool oldForm = depth == 1 && IsNumber(*key);
      if ((newForm || oldForm) && !token->text.empty()) folders.emplace_back(token->text);
      key.reset();
    }
  }
  return folders;
}

}  // namespace kartwerk::game
