// CTokenizer, the token rule of the chat command line: skip delimiters, take a token, and
// the rest of the line after the last token.
#pragma once

#include <cstddef>
#include <string_view>

// Walks one line. The tokenizer views the line; the line must outlive it and the tokens.
class CTokenizer {
  public:
    explicit CTokenizer(std::string_view line) : m_Line(line) {}

    // Skips every character of `delimiters`, then takes characters up to the next
    // delimiter or the end; the position moves one past the character that ended the
    // token. When only delimiters remain, yields the empty token and the tokenizer is
    // finished: every later token is empty as well.
    std::string_view Next(std::string_view delimiters);

    // Everything from the position to the end; empty at or past the end and once the
    // tokenizer is finished.
    std::string_view Rest() const;

    bool Finished() const { return m_Finished; }
    // One past the character that ended the last token (may be one past the line's end).
    std::size_t Position() const { return m_Position; }

  private:
    std::string_view m_Line;
    std::size_t m_Position = 0;
    bool m_Finished = false;
};
