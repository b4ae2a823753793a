#pragma once
// SQL functions the classification registers on a department database connection:
//   DayNumber(text)  the day number (DayNumber) of a valid day JJJJMMTT at the start of the text,
//                    NULL when the text does not begin with one;
//   HigherValue(a, b) of two texts the one with the higher numeric value (Val); a NULL gives way
//                    to the other text; of two texts of equal value the greater text. Hours "9 "
//                    and "12" thus give "12", where comparing them as texts would give "9 ".

namespace kalvora {

class Database;

void RegisterClassificationFunctions(Database& db);

}  // namespace kalvora
