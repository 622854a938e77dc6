#include "worksheet/Settings.h"

#include "common/ProblemKinds.h"
#include "common/RandomPort.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <utility>

namespace sbk3 {
namespace {

// What Print/Save's page holds beside the operator: two digits.
constexpr int kLargestOnPage = 99;
constexpr int kLargestTable = 12;
// The pairs looked at to find the problems of one operation, at most: beyond it, the problems
// found so far are drawn from at random.
constexpr long long kScanBudget = 30'000'000;
constexpr int kSampleTries = 10000;

struct Candidate {
    long long first = 0;
    long long second = 0;

    bool operator==(const Candidate&) const = default;
    bool operator<(const Candidate& other) const {
        return std::pair(first, second) < std::pair(other.first, other.second);
    }
};

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

long long powerOfTen(int places) {
    long long power = 1;
    for (int k = 0; k < places; ++k)
        power *= 10;
    return power;
}

// 0 or 1 as a number of the given places.
bool zeroOrOne(long long units, int places = 0) {
    return units == 0 || units == powerOfTen(places);
}

int digitsOf(long long n) {
    int digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
}

bool carryingFits(Carrying rule, bool happens) {
    return rule == Carrying::Any || (rule == Carrying::Always) == happens;
}

// The ends of a range at the given places, in units.
std::pair<long long, long long> unitsOf(int low, int high, int places) {
    return {low * powerOfTen(places), high * powerOfTen(places)};
}

// The second factors: the tables chosen, or the range.
std::vector<long long> secondFactors(const ProblemSettings& s) {
    std::vector<long long> factors;
    if (s.useTables) {
        for (int table = 0; table <= kLargestTable; ++table)
            if (s.tables.at(static_cast<std::size_t>(table)))
                factors.push_back(table);
    } else {
        for (int f = s.secondFactorMin; f <= s.secondFactorMax; ++f)
            factors.push_back(f);
    }
    return factors;
}

std::vector<long long> divisorList(const ProblemSettings& s) {
    std::vector<long long> list;
    if (s.useDivisors) {
        for (int d = 1; d <= kLargestTable; ++d)
            if (s.divisors.at(static_cast<std::size_t>(d)))
                list.push_back(d);
    } else {
        for (int d = std::max(1, s.divisorMin); d <= s.divisorMax; ++d)
            list.push_back(d);
    }
    return list;
}

std::pair<long long, long long> remainderRange(const ProblemSettings& s, long long d) {
    switch (s.remainders) {
    case Remainders::None:
        return {0, 0};
    case Remainders::Allowed:
        return {0, d - 1};
    default:
        return {1, d - 1};
    }
}

// The largest quotient divisor d allows with the dividend in its range.
long long quotientLimit(const ProblemSettings& s, long long d) {
    const long long leastRemainder = remainderRange(s, d).first;
    return std::min<long long>(s.quotientMax, (s.dividendMax - leastRemainder) / d);
}

// What one operation's problems must meet, beside the ranges its scan walks: visit is called
// for each problem that fits, in order, until it answers false or the budget is spent.
// Relaxations leave out one rule so that a refusal can say which rule leaves nothing.
struct Relax {
    bool carrying = false;
    bool answer = false;
};

using Visit = std::function<bool(const Candidate&)>;

// Returns false when the budget ran out before the scan ended.
bool scanAdditions(const ProblemSettings& s, Relax relax, const Visit& visit) {
    const auto [aLow, aHigh] = unitsOf(s.firstMin, s.firstMax, s.places);
    const auto [bLow, bHigh] = unitsOf(s.secondMin, s.secondMax, s.places);
    const auto [sumLow, sumHigh] =
        relax.answer ? std::pair(0LL, aHigh + bHigh) : unitsOf(s.sumMin, s.sumMax, s.places);
    long long looked = 0;
    for (long long a = aLow; a <= aHigh; ++a) {
        for (long long b = std::max(bLow, sumLow - a); b <= std::min(bHigh, sumHigh - a); ++b) {
            if (++looked > kScanBudget)
                return false;
            if ((relax.carrying || carryingFits(s.carrying, RegroupsAdding(a, b, s.places))) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(a, s.places) || zeroOrOne(b, s.places))) &&
                !visit({a, b}))
                return true;
        }
    }
    return true;
}

bool scanSubtractions(const ProblemSettings& s, Relax relax, const Visit& visit) {
    const auto [aLow, aHigh] = unitsOf(s.subFirstMin, s.subFirstMax, s.places);
    const auto [bLow, bHigh] = unitsOf(s.subSecondMin, s.subSecondMax, s.places);
    const auto [differenceLow, differenceHigh] =
        relax.answer ? std::pair(0LL, aHigh) : unitsOf(s.differenceMin, s.differenceMax, s.places);
    long long looked = 0;
    for (long long a = aLow; a <= aHigh; ++a) {
        const long long bTop = std::min({bHigh, a - differenceLow, a});
        for (long long b = std::max(bLow, a - differenceHigh); b <= bTop; ++b) {
            if (++looked > kScanBudget)
                return false;
            if ((relax.carrying || carryingFits(s.carrying, RegroupsSubtracting(a, b))) &&
                !(s.leaveOutZeroAndOne && (zeroOrOne(a, s.places) || zeroOrOne(b, s.places) ||
                                           zeroOrOne(a - b, s.places))) &&
                !visit({a, b}))
                return true;
        }
    }
    return true;
}

// The first factor first, the second after it: 3 x 7 is three sevens.
bool scanMultiplications(const ProblemSettings& s, Relax, const Visit& visit) {
    const auto [aLow, aHigh] = unitsOf(s.factorMin, s.factorMax, s.factorPlaces);
    long long looked = 0;
    for (const long long b : secondFactors(s))
        for (long long a = aLow; a <= aHigh; ++a) {
            if (++looked > kScanBudget)
                return false;
            if (!(s.leaveOutZeroAndOne && (zeroOrOne(a, s.factorPlaces) || zeroOrOne(b))) &&
                !visit({a, b}))
                return true;
        }
    return true;
}

bool scanDivisions(const ProblemSettings& s, Relax relax, const Visit& visit) {
    long long looked = 0;
    for (const long long d : divisorList(s)) {
        const auto [rLow, rHigh] = remainderRange(s, d);
        const long long qHigh = relax.answer ? s.quotientMax : quotientLimit(s, d);
        for (long long q = s.quotientMin; q <= qHigh; ++q)
            for (long long r = rLow; r <= rHigh; ++r) {
                if (++looked > kScanBudget)
                    return false;
                const long long dividend = q * d + r;
                if ((relax.answer || dividend >= s.dividendMin) &&
                    !(s.leaveOutZeroAndOne &&
                      (zeroOrOne(d) || zeroOrOne(q) || zeroOrOne(dividend))) &&
                    !visit({dividend, d}))
                    return true;
            }
    }
    return true;
}

bool scan(const ProblemSettings& s, int operation, Relax relax, const Visit& visit) {
    switch (operation) {
    case Add:
        return scanAdditions(s, relax, visit);
    case Subtract:
        return scanSubtractions(s, relax, visit);
    case Multiply:
        return scanMultiplications(s, relax, visit);
    default:
        return scanDivisions(s, relax, visit);
    }
}

// One operation's problems: every one where there are at most kCountedProblems, else the first
// kCountedProblems found, marked as a part of many.
struct Pool {
    std::vector<Candidate> problems;
    bool partial = false;
};

Pool poolOf(const ProblemSettings& s, int operation, Relax relax = {}) {
    Pool pool;
    const bool ended = scan(s, operation, relax, [&](const Candidate& c) {
        if (pool.problems.size() >= kCountedProblems) {
            pool.partial = true;
            return false;
        }
        pool.problems.push_back(c);
        return true;
    });
    pool.partial = pool.partial || !ended;
    return pool;
}

bool anyFits(const ProblemSettings& s, int operation, Relax relax) {
    bool found = false;
    scan(s, operation, relax, [&](const Candidate&) {
        found = true;
        return false;
    });
    return found;
}

std::optional<std::string> rangeProblem(int low, int high, int least, int most,
                                        const std::string& what) {
    if (low < least || high > most)
        return "The " + what + " go from " + std::to_string(least) + " to " + std::to_string(most) +
               ".";
    if (low > high)
        return "The smallest of the " + what + " is larger than the largest.";
    return std::nullopt;
}

std::optional<std::string> additionProblem(const ProblemSettings& s) {
    if (auto why = rangeProblem(s.firstMin, s.firstMax, 0, kLargestNumber, "first numbers"))
        return why;
    if (auto why = rangeProblem(s.secondMin, s.secondMax, 0, kLargestNumber, "second numbers"))
        return why;
    return rangeProblem(s.sumMin, s.sumMax, 0, 2 * kLargestNumber, "sums");
}

std::optional<std::string> subtractionProblem(const ProblemSettings& s) {
    if (auto why = rangeProblem(s.subFirstMin, s.subFirstMax, 0, kLargestNumber,
                                "first numbers of subtraction"))
        return why;
    if (auto why = rangeProblem(s.subSecondMin, s.subSecondMax, 0, kLargestNumber,
                                "second numbers of subtraction"))
        return why;
    return rangeProblem(s.differenceMin, s.differenceMax, 0, kLargestNumber, "differences");
}

std::optional<std::string> multiplicationProblem(const ProblemSettings& s) {
    if (s.useTables && std::none_of(s.tables.begin(), s.tables.end(), [](bool on) { return on; }))
        return "Choose at least one times table.";
    if (!s.useTables)
        if (auto why = rangeProblem(s.secondFactorMin, s.secondFactorMax, 0, kLargestSmallFactor,
                                    "second factors"))
            return why;
    return rangeProblem(s.factorMin, s.factorMax, 0, kLargestNumber, "first factors");
}

std::optional<std::string> divisionProblem(const ProblemSettings& s) {
    if (s.useDivisors &&
        std::none_of(s.divisors.begin() + 1, s.divisors.end(), [](bool on) { return on; }))
        return "Choose at least one divisor.";
    if (!s.useDivisors)
        if (auto why = rangeProblem(s.divisorMin, s.divisorMax, 1, kLargestSmallFactor, "divisors"))
            return why;
    if (auto why = rangeProblem(s.quotientMin, s.quotientMax, 0, kLargestNumber, "quotients"))
        return why;
    return rangeProblem(s.dividendMin, s.dividendMax, 0, kLargestNumber, "dividends");
}

std::optional<std::string> fieldProblem(const ProblemSettings& s) {
    if (!s.addition && !s.subtraction && !s.multiplication && !s.division)
        return "Choose at least one operation.";
    if (s.places < 0 || s.places > kMaxPlaces || s.factorPlaces < 0 || s.factorPlaces > kMaxPlaces)
        return "Numbers have 0, 1 or 2 decimal places.";
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation) && !formInfo(s.forms.at(static_cast<std::size_t>(operation)))
                                         .serves(operators()[static_cast<std::size_t>(operation)]))
            return std::string("The form \"") +
                   std::string(formInfo(s.forms.at(static_cast<std::size_t>(operation))).name) +
                   "\" is for division only.";
    using Check = std::optional<std::string> (*)(const ProblemSettings&);
    const Check checks[] = {additionProblem, subtractionProblem, multiplicationProblem,
                            divisionProblem};
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation))
            if (auto why = checks[operation](s))
                return why;
    return std::nullopt;
}

std::string nothingFits(const ProblemSettings& s, int operation) {
    std::string why =
        std::string("No ") + kOperationNames[operation] + " problem fits these settings";
    if (operation <= Subtract && s.carrying != Carrying::Any &&
        anyFits(s, operation, {true, false}))
        return why + ": with these numbers there is " +
               (s.carrying == Carrying::Always ? "never " : "always ") +
               (operation == Add ? "carrying" : "borrowing") + ". Widen the ranges or choose Any.";
    if (operation == Add && anyFits(s, operation, {false, true}))
        return why + ": no sum of these numbers is from " + std::to_string(s.sumMin) + " to " +
               std::to_string(s.sumMax) + ".";
    if (operation == Subtract && anyFits(s, operation, {false, true}))
        return why + ": no difference of these numbers is from " + std::to_string(s.differenceMin) +
               " to " + std::to_string(s.differenceMax) + ".";
    if (operation == Subtract)
        return why + ": the first number must be at least the second, so nothing goes below zero.";
    if (operation == Divide && anyFits(s, operation, {false, true}))
        return why + ": no dividend from " + std::to_string(s.dividendMin) + " to " +
               std::to_string(s.dividendMax) + " comes of these divisors and quotients.";
    if (s.leaveOutZeroAndOne)
        return why + " once problems with 0 or 1 are left out.";
    return why + ".";
}

} // namespace

bool RegroupsAdding(long long a, long long b, int places) {
    const int columns = std::max({digitsOf(a), digitsOf(b), places + 1});
    long long carry = 0;
    for (int column = 0; column < columns; ++column) {
        carry = (a % 10 + b % 10 + carry) >= 10 ? 1 : 0;
        a /= 10;
        b /= 10;
        if (carry != 0 && (column < columns - 1 || columns == 1))
            return true;
    }
    return false;
}

bool RegroupsSubtracting(long long a, long long b) {
    long long borrow = 0;
    for (; a > 0 || b > 0; a /= 10, b /= 10) {
        borrow = (a % 10 - borrow) < b % 10 ? 1 : 0;
        if (borrow != 0)
            return true;
    }
    return false;
}

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

bool UsesLaidOutPage(const ProblemSettings& s) {
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation) && s.forms.at(static_cast<std::size_t>(operation)) != Form::Column)
            return true;
    const auto beyondPage = [](int high) { return high > kLargestOnPage; };
    const bool addition = s.addition && (beyondPage(s.firstMax) || beyondPage(s.secondMax));
    const bool subtraction =
        s.subtraction && (beyondPage(s.subFirstMax) || beyondPage(s.subSecondMax));
    const bool multiplication =
        s.multiplication && (s.factorPlaces > 0 || s.factorMax > kLargestTable ||
                             (!s.useTables && s.secondFactorMax > kLargestTable));
    const bool division =
        s.division && (beyondPage(s.dividendMax) || s.remainders != Remainders::None ||
                       (!s.useDivisors && beyondPage(s.divisorMax)));
    return addition || subtraction || multiplication || division ||
           (s.places > 0 && (s.addition || s.subtraction));
}

std::optional<std::string> CheckSettings(const ProblemSettings& s) {
    if (auto why = fieldProblem(s))
        return why;
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation) && !anyFits(s, operation, {}))
            return nothingFits(s, operation);
    return std::nullopt;
}

std::string QuotientCutNote(const ProblemSettings& s) {
    if (!s.division)
        return {};
    std::vector<std::string> cuts;
    for (const long long d : divisorList(s))
        if (quotientLimit(s, d) < s.quotientMax && quotientLimit(s, d) >= s.quotientMin)
            cuts.push_back(std::to_string(quotientLimit(s, d)) + " for " + std::to_string(d));
    if (cuts.empty())
        return {};
    std::string cut = cuts.front();
    if (cuts.size() > 3)
        cut += ", and down to " + cuts.back();
    else
        for (std::size_t k = 1; k < cuts.size(); ++k)
            cut += ", " + cuts[k];
    return "So that no dividend passes " + std::to_string(s.dividendMax) +
           ", the quotient goes up to " + cut + ".";
}

std::size_t DifferentProblems(const ProblemSettings& s) {
    std::size_t total = 0;
    for (int operation = 0; operation < kOperations; ++operation)
        if (chosen(s, operation))
            total += poolOf(s, operation).problems.size();
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
// is never the last one dealt. Of a pool of many, only some were gathered: then a problem
// already dealt is drawn again, a bounded number of times.
class Dealer {
public:
    Dealer(Pool pool, bool noRepeats) : m_pool(std::move(pool)), m_noRepeats(noRepeats) {}

    Candidate next(RandomPort& random) {
        if (!m_noRepeats)
            return m_pool.problems[drawIndex(random, m_pool.problems.size())];
        if (m_deck.empty()) {
            m_deck = m_pool.problems;
            shuffle(m_deck, random);
            if (m_last && m_deck.size() > 1 && m_deck.back() == *m_last)
                std::swap(m_deck.back(), m_deck.front());
        }
        m_last = m_deck.back();
        m_deck.pop_back();
        return *m_last;
    }

private:
    Pool m_pool;
    bool m_noRepeats;
    std::vector<Candidate> m_deck; // dealt from the back
    std::optional<Candidate> m_last;
};

// A pool of many is gathered in order, so its first kCountedProblems lean to the smallest
// numbers: its problems are drawn anew from the whole ranges instead, each kept when it fits.
class Sampler {
public:
    Sampler(const ProblemSettings& s, int operation) : m_settings(s), m_operation(operation) {}

    std::optional<Candidate> next(RandomPort& random) {
        for (int tries = 0; tries < kSampleTries; ++tries)
            if (const std::optional<Candidate> c = draw(random); c && fits(*c))
                return c;
        return std::nullopt;
    }

private:
    long long between(RandomPort& random, long long low, long long high) const {
        if (high <= low)
            return low;
        return low +
               static_cast<long long>(drawIndex(random, static_cast<std::size_t>(high - low + 1)));
    }

    std::optional<Candidate> draw(RandomPort& random) const {
        const ProblemSettings& s = m_settings;
        switch (m_operation) {
        case Add: {
            const auto [aLow, aHigh] = unitsOf(s.firstMin, s.firstMax, s.places);
            const auto [bLow, bHigh] = unitsOf(s.secondMin, s.secondMax, s.places);
            const auto [sumLow, sumHigh] = unitsOf(s.sumMin, s.sumMax, s.places);
            const long long a = between(random, aLow, aHigh);
            const long long low = std::max(bLow, sumLow - a);
            const long long high = std::min(bHigh, sumHigh - a);
            return low <= high ? std::optional(Candidate{a, between(random, low, high)})
                               : std::nullopt;
        }
        case Subtract: {
            const auto [aLow, aHigh] = unitsOf(s.subFirstMin, s.subFirstMax, s.places);
            const auto [bLow, bHigh] = unitsOf(s.subSecondMin, s.subSecondMax, s.places);
            const auto [dLow, dHigh] = unitsOf(s.differenceMin, s.differenceMax, s.places);
            const long long a = between(random, aLow, aHigh);
            const long long low = std::max(bLow, a - dHigh);
            const long long high = std::min({bHigh, a - dLow, a});
            return low <= high ? std::optional(Candidate{a, between(random, low, high)})
                               : std::nullopt;
        }
        case Multiply: {
            const std::vector<long long> factors = secondFactors(s);
            const auto [aLow, aHigh] = unitsOf(s.factorMin, s.factorMax, s.factorPlaces);
            return Candidate{between(random, aLow, aHigh),
                             factors[drawIndex(random, factors.size())]};
        }
        default: {
            const std::vector<long long> list = divisorList(s);
            const long long d = list[drawIndex(random, list.size())];
            const long long q = between(random, s.quotientMin, quotientLimit(s, d));
            const auto [rLow, rHigh] = remainderRange(s, d);
            return Candidate{q * d + between(random, rLow, rHigh), d};
        }
        }
    }

    bool fits(const Candidate& c) const {
        const ProblemSettings& s = m_settings;
        switch (m_operation) {
        case Add:
            return carryingFits(s.carrying, RegroupsAdding(c.first, c.second, s.places)) &&
                   !(s.leaveOutZeroAndOne &&
                     (zeroOrOne(c.first, s.places) || zeroOrOne(c.second, s.places)));
        case Subtract:
            return carryingFits(s.carrying, RegroupsSubtracting(c.first, c.second)) &&
                   !(s.leaveOutZeroAndOne &&
                     (zeroOrOne(c.first, s.places) || zeroOrOne(c.second, s.places) ||
                      zeroOrOne(c.first - c.second, s.places)));
        case Multiply:
            return !(s.leaveOutZeroAndOne &&
                     (zeroOrOne(c.first, s.factorPlaces) || zeroOrOne(c.second)));
        default: {
            const auto [rLow, rHigh] = remainderRange(s, c.second);
            const long long remainder = c.first % c.second;
            return c.first >= s.dividendMin && c.first <= s.dividendMax &&
                   c.first / c.second >= s.quotientMin && remainder >= rLow && remainder <= rHigh &&
                   !(s.leaveOutZeroAndOne &&
                     (zeroOrOne(c.second) || zeroOrOne(c.first / c.second) || zeroOrOne(c.first)));
        }
        }
    }

    ProblemSettings m_settings;
    int m_operation;
};

// One operation's source of problems: the dealer of a counted pool, or the sampler of many,
// which keeps what it dealt so that, without repeats, none comes twice.
// The pools of the last settings drawn by on this thread: a class set draws every version by the
// same settings, and gathers them once.
const Pool& cachedPool(const ProblemSettings& s, int operation) {
    thread_local ProblemSettings settings;
    thread_local std::array<std::optional<Pool>, kOperations> pools;
    if (!(settings == s)) {
        settings = s;
        pools = {};
    }
    auto& pool = pools.at(static_cast<std::size_t>(operation));
    if (!pool)
        pool = poolOf(s, operation);
    return *pool;
}

class Source {
public:
    Source(const ProblemSettings& s, int operation)
        : m_pool(cachedPool(s, operation)), m_dealer(m_pool, s.noRepeats), m_sampler(s, operation),
          m_noRepeats(s.noRepeats) {}

    Candidate next(RandomPort& random) {
        if (!m_pool.partial)
            return m_dealer.next(random);
        for (int tries = 0; tries < kSampleTries; ++tries) {
            const std::optional<Candidate> c = m_sampler.next(random);
            if (!c)
                break;
            if (!m_noRepeats || m_dealt.insert(*c).second)
                return *c;
        }
        // The rules let few problems through the ranges: the ones gathered are dealt instead.
        return m_dealer.next(random);
    }

private:
    Pool m_pool;
    Dealer m_dealer;
    Sampler m_sampler;
    bool m_noRepeats;
    std::set<Candidate> m_dealt;
};

// Which number a missing-number problem leaves blank.
Blank blankFor(MissingBlank rule, RandomPort& random) {
    switch (rule) {
    case MissingBlank::First:
        return Blank::First;
    case MissingBlank::Second:
        return Blank::Second;
    case MissingBlank::Answer:
        return Blank::Answer;
    default:
        return static_cast<Blank>(1 + drawIndex(random, 3));
    }
}

} // namespace

std::optional<std::string> TooFewDifferentProblems(const ProblemSettings& s, int count) {
    const std::vector<int> operations = chosenOperations(s);
    if (!s.noRepeats || operations.empty())
        return std::nullopt;
    bool enough = true;
    for (std::size_t which = 0; which < operations.size(); ++which) {
        const Pool pool = poolOf(s, operations[which]);
        enough = enough &&
                 (pool.partial || pool.problems.size() >= shareOf(which, operations.size(), count));
    }
    if (enough)
        return std::nullopt;
    return "These settings allow only " + std::to_string(DifferentProblems(s)) +
           " different problems for " + std::to_string(count) +
           " problems mixed evenly, so some problems will come twice.";
}

std::vector<std::string> DrawProblemLines(const ProblemSettings& s, int count, RandomPort& random,
                                          std::optional<bool> laidOutLines) {
    const std::vector<int> operations = chosenOperations(s);
    std::vector<Source> sources;
    sources.reserve(operations.size());
    for (const int operation : operations)
        sources.emplace_back(s, operation);
    random.rtcRandomize();
    // Mixed evenly, as shareOf counts: each operation's share differs from another's by one.
    std::vector<std::size_t> order;
    order.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k)
        order.push_back(static_cast<std::size_t>(k) % operations.size());
    shuffle(order, random);
    const bool laidOut = laidOutLines.value_or(UsesLaidOutPage(s));
    std::vector<std::string> lines;
    lines.reserve(order.size());
    for (const std::size_t which : order) {
        const int operation = operations[which];
        const Candidate problem = sources[which].next(random);
        const OperatorInfo& op = operators()[static_cast<std::size_t>(operation)];
        if (!laidOut) {
            lines.push_back(problemLine(static_cast<int>(problem.first),
                                        static_cast<int>(problem.second), op.text, true));
            continue;
        }
        SheetProblem sheet;
        const int places = operation <= Subtract   ? s.places
                           : operation == Multiply ? s.factorPlaces
                                                   : 0;
        sheet.first = {problem.first, places};
        sheet.second = {problem.second, operation <= Subtract ? places : 0};
        sheet.op = &op;
        sheet.form = s.forms.at(static_cast<std::size_t>(operation));
        if (sheet.form == Form::Missing)
            sheet.blank = blankFor(s.blank, random);
        lines.push_back(sheetProblemLine(sheet));
    }
    return lines;
}

} // namespace sbk3
