// T-SQL tokenizer. Works on bytes: any byte of a multi-byte UTF-8 sequence counts as a letter,
// so Persian names lex as identifiers; columns count characters, not bytes.
#include "engine/parse/lexer.h"

#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameStart(unsigned char c) {
  return IsAsciiLetter(c) || c == '_' || c == '#' || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || IsDigit(c) || c == '@' || c == '$';
}
bool IsSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

constexpr std::string_view kTwoCharOps[] = {
    "<>", "!=", "<=", ">=", "!<", "!>", "::", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^="};
constexpr std::string_view kOneCharOps = "=<>+-*/%&|^~(),.;";

class Lexer {
 public:
  explicit Lexer(std::string_view text) : s_(text) {}

  std::vector<Token> Run() {
    std::vector<Token> out;
    for (;;) {
      SkipBlanks();
      Token t;
      t.pos = pos_;
      if (AtEnd()) {
        t.end = pos_.offset;
        out.push_back(std::move(t));
        return out;
      }
      LexOne(t);
      t.text = std::string(s_.substr(t.pos.offset, pos_.offset - t.pos.offset));
      t.end = pos_.offset;
      if (t.kind == TokenKind::Word) {
        t.value = Upper(t.text);
      } else if (t.value.empty() && t.kind != TokenKind::String && t.kind != TokenKind::NString &&
                 t.kind != TokenKind::QuotedName) {
        t.value = t.text;
      }
      out.push_back(std::move(t));
    }
  }

 private:
  bool AtEnd() const { return pos_.offset >= s_.size(); }
  unsigned char Peek(size_t ahead = 0) const {
    size_t i = pos_.offset + ahead;
    return i < s_.size() ? static_cast<unsigned char>(s_[i]) : 0;
  }
  bool Has(size_t ahead) const { return pos_.offset + ahead < s_.size(); }

  void Bump() {
    unsigned char c = Peek();
    ++pos_.offset;
    if (c == '\n') {
      ++pos_.line;
      pos_.column = 1;
    } else if ((c & 0xC0) != 0x80) {
      ++pos_.column;
    }
  }

  void SkipBlanks() {
    while (!AtEnd()) {
      unsigned char c = Peek();
      if (IsSpace(c)) {
        Bump();
      } else if (c == '-' && Peek(1) == '-') {
        while (!AtEnd() && Peek() != '\n') Bump();
      } else if (c == '/' && Peek(1) == '*') {
        SkipBlockComment();
      } else {
        return;
      }
    }
  }

  // Block comments nest in T-SQL.
  void SkipBlockComment() {
    SourcePos start = pos_;
    int depth = 0;
    while (!AtEnd()) {
      if (Peek() == '/' && Peek(1) == '*') {
        ++depth;
        Bump();
        Bump();
      } else if (Peek() == '*' && Peek(1) == '/') {
        --depth;
        Bump();
        Bump();
        if (depth == 0) return;
      } else {
        Bump();
      }
    }
    MissingEndComment(start);
  }

  void LexOne(Token& t) {
    unsigned char c = Peek();
    if (c == '\'') {
      t.kind = TokenKind::String;
      LexQuoted('\'', t);
    } else if ((c == 'N' || c == 'n') && Peek(1) == '\'') {
      t.kind = TokenKind::NString;
      Bump();
      LexQuoted('\'', t);
    } else if (c == '[') {
      t.kind = TokenKind::QuotedName;
      LexQuoted(']', t);
    } else if (c == '"') {
      t.kind = TokenKind::QuotedName;
      LexQuoted('"', t);
    } else if (c == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
      t.kind = TokenKind::Binary;
      Bump();
      Bump();
      while (IsHexDigit(Peek()) && Has(0)) Bump();
    } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
      LexNumber(t);
    } else if (c == '$') {
      t.kind = TokenKind::Money;
      Bump();
      size_t digitsStart = pos_.offset;
      while (Has(0) && (IsDigit(Peek()) || Peek() == '.')) Bump();
      t.value = std::string(s_.substr(digitsStart, pos_.offset - digitsStart));
      if (t.value.empty() || t.value == ".") t.value = "0";
    } else if (c == '@') {
      if (!(IsNameChar(Peek(1)) && Has(1))) SyntaxErrorNear("@", pos_);
      t.kind = TokenKind::Variable;
      Bump();
      while (Has(0) && IsNameChar(Peek())) Bump();
    } else if (IsNameStart(c)) {
      t.kind = TokenKind::Word;
      while (Has(0) && IsNameChar(Peek())) Bump();
    } else {
      LexOperator(t);
    }
  }

  // Quoted text where a doubled closing character stands for itself.
  void LexQuoted(char close, Token& t) {
    SourcePos start = pos_;
    Bump();
    size_t contentStart = pos_.offset;
    while (!AtEnd()) {
      if (Peek() == static_cast<unsigned char>(close)) {
        if (Has(1) && Peek(1) == static_cast<unsigned char>(close)) {
          t.value.push_back(close);
          Bump();
          Bump();
          continue;
        }
        Bump();
        return;
      }
      t.value.push_back(static_cast<char>(Peek()));
      Bump();
    }
    UnclosedQuote(s_.substr(contentStart), start);
  }

  void LexNumber(Token& t) {
    t.kind = TokenKind::Integer;
    while (Has(0) && IsDigit(Peek())) Bump();
    if (Has(0) && Peek() == '.') {
      t.kind = TokenKind::Decimal;
      Bump();
      while (Has(0) && IsDigit(Peek())) Bump();
    }
    if (Has(0) && (Peek() == 'e' || Peek() == 'E')) {
      size_t sign = (Peek(1) == '+' || Peek(1) == '-') ? 1 : 0;
      if (Has(1 + sign) && IsDigit(Peek(1 + sign))) {
        t.kind = TokenKind::Float;
        for (size_t i = 0; i < 1 + sign; ++i) Bump();
        while (Has(0) && IsDigit(Peek())) Bump();
      }
    }
  }

  void LexOperator(Token& t) {
    t.kind = TokenKind::Operator;
    if (Has(1)) {
      std::string_view two = s_.substr(pos_.offset, 2);
      for (std::string_view op : kTwoCharOps) {
        if (two == op) {
          Bump();
          Bump();
          return;
        }
      }
    }
    if (kOneCharOps.find(static_cast<char>(Peek())) == std::string_view::npos) {
      SyntaxErrorNear(s_.substr(pos_.offset, 1), pos_);
    }
    Bump();
  }

  std::string_view s_;
  SourcePos pos_;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view text) {
  return Lexer(text).Run();
}

}  // namespace xfer::engine::parse
