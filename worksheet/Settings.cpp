#include "worksheet/Settings.h"

#include "common/ProblemKinds.h"
#include "common/RandomPort.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sbk3 {
namespace {

constexpr int kLargestOnPage = 99;

struct Candidate {
    int first = 0;
    int second = 0;

    bool operator==(const Candidate&) const = default;
};

// The four operations in the operator table's order, with what the sentences call them.
enum Operation { Add, Subtract, Multiply, Divide, kOperations };
constexpr const char* kOperationNames[] = {"addition", "subtraction", "multiplication", "division"};

bool chosen(const ProblemSettings& s, int operation) {
    switch (operation) {
    case Add:
        return s.addition;
    case Subtract:
        return s.subtraction;
    case Multiply:
        return s.multiplication;
    default:
        return s.division;
    }
}

bool zeroOrOne(int n) {
    return n == 0 || n == 1;
}

// Carrying in at least one column of a + b.
bool carries(int a, int b) {
    return a % 10 + b % 10 >= 10 || a + b >= 100;
}

// Borrowing in at least one column of a - b (a >= b): only the ones can borrow.
bool borrows(int a, int b) {
    return a % 10 < b % 10;
}

bool carryingFits(Carrying rule, bool happens) {
    return rule == Carrying::Any || (rule == Carrying::Always) == happens;
}

// The largest quotient divisor d allows with the dividend on the page.
int quotientLimit(const ProblemSettings& s, int d) {
    return std::min(s.quotientMax, kLargestOnPage / d);
}

std::vector<Candidate> additions(const ProblemSettings& s) {
    std::vector<Candidate> pool;
    for (int a = s.firstMin; a <= s.firstMax; ++a)
        for (int b = s.secondMin; b <= s.secondMax; ++b)
            if (carryingFits(s.carrying, carries(a, b)) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(a) || zeroOrOne(b))))
                pool.push_back({a, b});
    return pool;
}

std::vector<Candidate> subtractions(const ProblemSettings& s) {
    std::vector<Candidate> pool;
    for (int a = s.firstMin; a <= s.firstMax; ++a)
        for (int b = s.secondMin; b <= std::min(s.secondMax, a); ++b)
            if (carryingFits(s.carrying, borrows(a, b)) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(a) || zeroOrOne(b) || zeroOrOne(a - b))))
                pool.push_back({a, b});
    return pool;
}

// The other factor first, the table second: 3 x 7 is three sevens.
std::vector<Candidate> multiplications(const ProblemSettings& s) {
    std::vector<Candidate> pool;
    for (int table = 0; table <= 12; ++table)
        for (int f = s.factorMin; f <= s.factorMax; ++f)
            if (s.tables.at(static_cast<std::size_t>(table)) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(f) || zeroOrOne(table))))
                pool.push_back({f, table});
    return pool;
}

std::vector<Candidate> divisions(const ProblemSettings& s) {
    std::vector<Candidate> pool;
    for (int d = 1; d <= 12; ++d)
        for (int q = s.quotientMin; q <= quotientLimit(s, d); ++q)
            if (s.divisors.at(static_cast<std::size_t>(d)) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(d) || zeroOrOne(q) || zeroOrOne(q * d))))
                pool.push_back({q * d, d});
    return pool;
}

// Every different problem of one operation the settings allow.
std::vector<Candidate> candidates(const ProblemSettings& s, int operation) {
    switch (operation) {
    case Add:
        return additions(s);
    case Subtract:
        return subtractions(s);
    case Multiply:
        return multiplications(s);
    default:
        return divisions(s);
    }
}

std::optional<std::string> rangeProblem(int low, int high, int least, int most,
                                        const std::string& what) {
    if (low < least || high > most)
        return "The " + what + " go from " + std::to_string(least) + " to " + std::to_string(most) +
               ".";
    if (low > high)
        return "The smallest " + what + " is larger than the largest.";
    return std::nullopt;
}

std::optional<std::string> fieldProblem(const ProblemSettings& s) {
    if (!s.addition && !s.subtraction && !s.multiplication && !s.division)
        return "Choose at least one operation.";
    if (s.addition || s.subtraction) {
        if (auto why = rangeProblem(s.firstMin, s.firstMax, 0, kLargestOnPage, "first numbers"))
            return why;
        if (auto why = rangeProblem(s.secondMin, s.secondMax, 0, kLargestOnPage, "second numbers"))
            return why;
    }
    if (s.multiplication) {
        if (std::none_of(s.tables.begin(), s.tables.end(), [](bool on) { return on; }))
            return "Choose at least one times table.";
        if (auto why = rangeProblem(s.factorMin, s.factorMax, 0, 12, "other factors"))
            return why;
    }
    if (s.division) {
        if (std::none_of(s.divisors.begin() + 1, s.divisors.end(), [](bool on) { return on; }))
            return "Choose at least one divisor.";
        if (auto why = rangeProblem(s.quotientMin, s.quotientMax, 0, 12, "quotients"))
            return why;
    }
    return std::nullopt;
}

// 0 <= index < size from one draw.
std::size_t drawIndex(RandomPort& random, std::size_t size) {
    const auto at = static_cast<std::size_t>(
        std::floor(static_cast<double>(random.rtcRandomNext()) * static_cast<double>(size)));
    return std::min(at, size - 1);
}

template <typename T> void shuffle(std::vector<T>& items, RandomPort& random) {
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[drawIndex(random, i)]);
}

// Draws from one operation's problems: plainly at random, or, without repeats, through a
// shuffled deck that is dealt to the end before it is shuffled again, and whose new first card
// is never the last one dealt.
class Dealer {
public:
    Dealer(std::vector<Candidate> pool, bool noRepeats)
        : m_pool(std::move(pool)), m_noRepeats(noRepeats) {}

    Candidate next(RandomPort& random) {
        if (!m_noRepeats)
            return m_pool[drawIndex(random, m_pool.size())];
        if (m_deck.empty()) {
            m_deck = m_pool;
            shuffle(m_deck, random);
            if (m_last && m_deck.size() > 1 && m_deck.back() == *m_last)
                std::swap(m_deck.back(), m_deck.front());
        }
        m_last = m_deck.back();
        m_deck.pop_back();
        return *m_last;
    }

private:
    std::vector<Candidate> m_pool;
    bool m_noRepeats;
    std::vector<Candidate> m_deck; // dealt from the back
    std::optional<Candidate> m_last;
};

} // namespace

ProblemSettings SettingsForType(const std::string& typeName) {
    ProblemSettings s;
    const ProblemTypeInfo* type = findProblemType(typeName);
    const ProblemType t = type ? type->type : ProblemType::Addition;
    s.addition = t == ProblemType::Addition || t == ProblemType::Mixed;
    s.subtraction = t == ProblemType::Subtraction || t == ProblemType::Mixed;
    s.multiplication = t == ProblemType::Multiplication || t == ProblemType::Mixed;
    s.division = t == ProblemType::Division || t == ProblemType::Mixed;
    return s;
}

std::string SettingsTypeCode(const ProblemSettings& s) {
    const int count =
        int{s.addition} + int{s.subtraction} + int{s.multiplication} + int{s.division};
    if (count != 1)
        return "MIX";
    return s.addition ? "ADD" : s.subtraction ? "SUB" : s.multiplication ? "MUL" : "DIV";
}

std::optional<std::string> CheckSettings(const ProblemSettings& s) {
    if (auto why = fieldProblem(s))
        return why;
    for (int operation = 0; operation < kOperations; ++operation) {
        if (!chosen(s, operation) || !candidates(s, operation).empty())
            continue;
        std::string why =
            std::string("No ") + kOperationNames[operation] + " problem fits these settings";
        if (operation <= Subtract && s.carrying != Carrying::Any)
            why += std::string(": with these numbers there is ") +
                   (s.carrying == Carrying::Always ? "never " : "always ") +
                   (operation == Add ? "carrying" : "borrowing") +
                   ". Widen the ranges or choose Any";
        else if (operation == Subtract)
            why += ": the first number must be at least the second, so nothing goes below zero";
        else if (s.leaveOutZeroAndOne)
            why += " once problems with 0 or 1 are left out";
        return why + ".";
    }
    return std::nullopt;
}

std::string QuotientCutNote(const ProblemSettings& s) {
    if (!s.division)
        return {};
    std::string cut;
    for (int d = 1; d <= 12; ++d)
        if (s.divisors.at(static_cast<std::size_t>(d)) && quotientLimit(s, d) < s.quotientMax &&
            quotientLimit(s, d) >= s.quotientMin)
            cut += (cut.empty() ? "" : ", ") + std::to_string(quotientLimit(s, d)) + " for " +
                   std::to_string(d);
    if (cut.empty())
        return {};
    return "So that no number on the page passes 99, the quotient goes up to " + cut + ".";
}

std::size_t DifferentProblems(const ProblemSettings& s) {
    std::size_t total = 0;
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation))
            total += candidates(s, operation).size();
    return total;
}

namespace {

// The operations a draw deals from, in the table's order.
std::vector<int> chosenOperations(const ProblemSettings& s) {
    std::vector<int> operations;
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation))
            operations.push_back(operation);
    return operations;
}

// Mixed evenly: problem k goes to operation k modulo their number, so the first count % n
// operations take one problem more than the rest.
std::size_t shareOf(std::size_t which, std::size_t operations, int count) {
    const auto total = static_cast<std::size_t>(std::max(count, 0));
    return total / operations + (which < total % operations ? 1 : 0);
}

} // namespace

std::optional<std::string> TooFewDifferentProblems(const ProblemSettings& s, int count) {
    const std::vector<int> operations = chosenOperations(s);
    if (!s.noRepeats || operations.empty())
        return std::nullopt;
    bool enough = true;
    for (std::size_t which = 0; which < operations.size(); ++which)
        enough = enough && candidates(s, operations[which]).size() >=
                               shareOf(which, operations.size(), count);
    if (enough)
        return std::nullopt;
    return "These settings allow only " + std::to_string(DifferentProblems(s)) +
           " different problems for " + std::to_string(count) +
           " problems mixed evenly, so some problems will come twice.";
}

std::vector<std::string> DrawProblemLines(const ProblemSettings& s, int count, RandomPort& random) {
    const std::vector<int> operations = chosenOperations(s);
    std::vector<Dealer> dealers;
    dealers.reserve(operations.size());
    for (const int operation : operations)
        dealers.emplace_back(candidates(s, operation), s.noRepeats);
    random.rtcRandomize();
    // Mixed evenly, as shareOf counts: each operation's share differs from another's by one.
    std::vector<std::size_t> order;
    order.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k)
        order.push_back(static_cast<std::size_t>(k) % operations.size());
    shuffle(order, random);
    std::vector<std::string> lines;
    lines.reserve(order.size());
    for (const std::size_t which : order) {
        const Candidate problem = dealers[which].next(random);
        const OperatorInfo& op = operators()[static_cast<std::size_t>(operations[which])];
        lines.push_back(problemLine(problem.first, problem.second, op.text, true));
    }
    return lines;
}

} // namespace sbk3
