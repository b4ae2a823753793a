#include "classification/classification_sql_functions.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "classification/classification_run.h"
#include "store/database.h"

namespace kalvora {

namespace {

std::string_view ValueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) return {};
    return {text, static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

void DayNumberFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::string_view text = ValueText(argv[0]);
    if (!IsClassificationDay(text)) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int64(context, DayNumber(text));
}

void HigherValueFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value* first = argv[0];
    sqlite3_value* second = argv[1];
    if (sqlite3_value_type(first) == SQLITE_NULL) {
        sqlite3_result_value(context, second);
        return;
    }
    if (sqlite3_value_type(second) == SQLITE_NULL) {
        sqlite3_result_value(context, first);
        return;
    }
    const std::string_view firstText = ValueText(first);
    const std::string_view secondText = ValueText(second);
    const double firstValue = SqlVal(firstText);
    const double secondValue = SqlVal(secondText);
    // Of texts of equal value the greater one is kept, so the result does not depend on the order
    // in which the records arrive.
    const bool secondWins = secondValue > firstValue || (secondValue == firstValue && secondText > firstText);
    sqlite3_result_value(context, secondWins ? second : first);
}

}  // namespace

void RegisterClassificationFunctions(Database& db) {
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db.handle(), "DayNumber", 1, kFlags, nullptr, DayNumberFunction, nullptr,
                                   nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db.handle(), "HigherValue", 2, kFlags, nullptr, HigherValueFunction,
                                   nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw StoreError(std::string("cannot register the classification functions: ") +
                         sqlite3_errmsg(db.handle()));
    }
}

}  // namespace kalvora
