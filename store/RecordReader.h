#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sbk3 {

// Reads comma-separated fields of a worksheet file, regardless of how they are spread over
// lines: blanks before a field are skipped, a quoted field runs to the next quote, an unquoted
// one to the next comma or line end without its trailing blanks.
class RecordReader {
public:
    explicit RecordReader(std::string_view text) : m_text(text) {}

    // Throws Input past end of file when nothing is left.
    std::string nextField();
    // A field as a 16-bit signed integer: Type mismatch when it is no number, Overflow when it
    // does not fit.
    std::int16_t nextInteger();

    // The rest of the current line, without its line end, leaving the reader on the next line.
    std::string_view takeLine();
    // True when nothing but blanks is left.
    bool atTextEnd() {
        skipBlanks();
        return atEnd();
    }
    // True when the last field read was the last of its line (or of the text).
    bool endedLine() const { return !m_afterComma; }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipBlanks();
    void skipDelimiter();

    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_afterComma = false;
};

// A field's text as a 16-bit signed integer, rounded half to even like the runtime's conversion.
std::int16_t toInteger(std::string_view field);

} // namespace sbk3
