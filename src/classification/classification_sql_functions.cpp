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

// State of one MaxValue group, kept in SQLite's aggregate context.
struct MaxValueState {
    std::string* text;  // the text with the highest value so far; null before the first
    double value;
};

void MaxValueStep(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    auto* state = static_cast<MaxValueState*>(sqlite3_aggregate_context(context, sizeof(MaxValueState)));
    if (state == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const std::string_view text = ValueText(argv[0]);
    const double value = SqlVal(text);
    if (state->text == nullptr) {
        state->text = new std::string(text);
        state->value = value;
        return;
    }
    // Of texts with the same value the greater text is kept, so that the result does not depend
    // on the order in which the rows arrive.
    if (value > state->value || (value == state->value && text > *state->text)) {
        state->text->assign(text);
        state->value = value;
    }
}

void MaxValueFinal(sqlite3_context* context) {
    auto* state = static_cast<MaxValueState*>(sqlite3_aggregate_context(context, 0));
    if (state == nullptr || state->text == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_text(context, state->text->data(), static_cast<int>(state->text->size()), SQLITE_TRANSIENT);
    delete state->text;
    state->text = nullptr;
}

}  // namespace

void RegisterClassificationFunctions(Database& db) {
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db.handle(), "DayNumber", 1, kFlags, nullptr, DayNumberFunction, nullptr,
                                   nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_function_v2(db.handle(), "MaxValue", 1, kFlags, nullptr, nullptr, MaxValueStep,
                                   MaxValueFinal, nullptr) != SQLITE_OK) {
        throw StoreError(std::string("cannot register the classification functions: ") +
                         sqlite3_errmsg(db.handle()));
    }
}

}  // namespace kalvora
