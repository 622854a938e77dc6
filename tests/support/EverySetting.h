#pragma once

#include "worksheet/ClassSet.h"

namespace sbk3::test {

// Every setting of "Worksheet Settings" away from its default, texts with " = " in them: a
// setting that is not carried through (a field not read, a line not written) shows against it.
inline ClassSetRequest everySettingAwayFromDefault() {
    ClassSetRequest r;
    ProblemSettings& s = r.settings;
    s.addition = false, s.subtraction = s.multiplication = s.division = true;
    s.firstMin = 11, s.firstMax = 77, s.secondMin = 3, s.secondMax = 44;
    s.sumMin = 5, s.sumMax = 120;
    s.subFirstMin = 100, s.subFirstMax = 9999, s.subSecondMin = 10, s.subSecondMax = 999;
    s.differenceMin = 1, s.differenceMax = 5000;
    s.carrying = Carrying::Always;
    s.places = 2, s.factorPlaces = 1;
    s.tables.fill(false);
    s.tables[0] = s.tables[11] = true;
    s.useTables = false, s.secondFactorMin = 11, s.secondFactorMax = 99;
    s.factorMin = 2, s.factorMax = 11;
    s.divisors.fill(false);
    s.divisors[12] = s.divisors[5] = true;
    s.useDivisors = false, s.divisorMin = 2, s.divisorMax = 25;
    s.quotientMin = 3, s.quotientMax = 8;
    s.dividendMin = 100, s.dividendMax = 9999;
    s.remainders = Remainders::Always;
    s.forms = {Form::Missing, Form::Sentence, Form::Missing, Form::LongDivision};
    s.blank = MissingBlank::Second;
    s.leaveOutZeroAndOne = s.noRepeats = true;
    r.problems = 17, r.versions = 4, r.copies = 3, r.keys = AnswerKeys::AtTheEnd;
    r.printer = "Hall = 2";
    r.title = "Year 1 (N) = sums";
    r.look = {false,
              1,
              "Well done!",
              PrintSize::ExtraLarge,
              true,
              true,
              true,
              "Fill in the missing number.",
              NumberPlace::Corner};
    return r;
}

} // namespace sbk3::test
