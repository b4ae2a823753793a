#pragma once
// SQL functions the classification registers on a department database connection:
//   HighestValue(text) aggregate: of the texts of a group the one with the highest numeric value
//                    (Val); NULLs give way to any text, a group of NULLs gives NULL; of texts of
//                    equal value the greater text, so the result does not depend on the order of
//                    the rows. Hours "9 " and "12" thus give "12", where comparing them as texts
//                    would give "9 ".

namespace kalvora {

class Database;

void RegisterClassificationFunctions(Database& db);

}  // namespace kalvora
