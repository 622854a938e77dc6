#include "store/RecordReader.h"

#include "common/Decimal.h"
#include "common/RuntimeError.h"
#include "common/Text.h"

#include <cmath>

namespace sbk3 {
namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

std::int16_t toInteger(std::string_view field) {
    field = trimmed(field);
    if (field.empty())
        return 0; // an empty field reads as zero
    std::size_t used = 0;
    const std::optional<double> value = scanDecimal(field, &used);
    if (!value || used != field.size())
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const double rounded = std::nearbyint(*value); // half to even in the default rounding mode
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw RuntimeError(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(rounded);
}

void RecordReader::skipBlanks() {
    while (!atEnd() && isBlank(m_text[m_pos]))
        ++m_pos;
}

void RecordReader::skipDelimiter() {
    m_afterComma = false;
    if (atEnd())
        return;
    const char c = m_text[m_pos];
    m_afterComma = c == ',';
    if (c == ',' || c == '\n') {
        ++m_pos;
    } else if (c == '\r') {
        ++m_pos;
        if (!atEnd() && m_text[m_pos] == '\n')
            ++m_pos;
    }
}

std::string RecordReader::nextField() {
    skipBlanks();
    if (atEnd())
        throw RuntimeError(ErrorNumber::InputPastEndOfFile);

    std::string field;
    if (m_text[m_pos] == '"') {
        const std::size_t start = m_pos + 1;
        std::size_t close = m_text.find('"', start);
        if (close == std::string_view::npos)
            close = m_text.size();
        field.assign(m_text.substr(start, close - start));
        m_pos = close < m_text.size() ? close + 1 : close;
        // Anything between the closing quote and the delimiter is passed over.
        while (!atEnd() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
    } else {
        const std::size_t start = m_pos;
        while (!atEnd() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        field.assign(trimmed(m_text.substr(start, m_pos - start)));
    }
    skipDelimiter();
    return field;
}

std::int16_t RecordReader::nextInteger() {
    return toInteger(nextField());
}

std::string_view RecordReader::takeLine() {
    const std::size_t start = m_pos;
    while (!atEnd() && !isLineEnd(m_text[m_pos]))
        ++m_pos;
    const std::string_view line = m_text.substr(start, m_pos - start);
    skipDelimiter();
    return line;
}

} // namespace sbk3
