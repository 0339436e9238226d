// The chat command line's token rule.
#include "commands/Tokenizer.h"

std::string_view CTokenizer::Next(std::string_view delimiters) {
    if (m_Finished || m_Position >= m_Line.size()) {
        m_Finished = true;
        return {};
    }
    std::size_t start = m_Line.find_first_not_of(delimiters, m_Position);
    if (start == std::string_view::npos) {
        m_Finished = true;
        return {};
    }
    std::size_t end = m_Line.find_first_of(delimiters, start);
    if (end == std::string_view::npos)
        end = m_Line.size();
    m_Position = end + 1;
    return m_Line.substr(start, end - start);
}

std::string_view CTokenizer::Rest() const {
    // A finished walk has no position left: the rest must not fall back to the whole line.
    if (m_Finished || m_Position >= m_Line.size())
        return {};
    return m_Line.substr(m_Position);
}
