#pragma once
// SQL functions the classification registers on a department database connection:
//   DayNumber(text)  the day number (DayNumber) of a valid day JJJJMMTT at the start of the text,
//                    NULL when the text does not begin with one;
//   MaxValue(text)   aggregate: the text with the highest numeric value (Val) among the non-NULL
//                    texts, NULL when there is none. Hours "9 " and "12" thus give "12".

namespace kalvora {

class Database;

void RegisterClassificationFunctions(Database& db);

}  // namespace kalvora
