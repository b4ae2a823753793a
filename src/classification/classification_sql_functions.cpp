#include "classification/classification_sql_functions.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "classification/stored_value.h"
#include "store/database.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

std::string_view ValueText(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (text == nullptr) return {};
    return {text, static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

// The aggregate keeps a copy of the best value so far.
sqlite3_value** BestOfGroup(sqlite3_context* context, int bytes) {
    return static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, bytes));
}

void HighestValueStep(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value** best = BestOfGroup(context, sizeof(sqlite3_value*));
    if (best == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_value* candidate = argv[0];
    if (sqlite3_value_type(candidate) == SQLITE_NULL) return;
    if (*best != nullptr) {
        const std::string_view bestText = ValueText(*best);
        const std::string_view candidateText = ValueText(candidate);
        const double bestValue = StoredValue(bestText);
        const double candidateValue = StoredValue(candidateText);
        const bool candidateWins =
            candidateValue > bestValue || (candidateValue == bestValue && candidateText > bestText);
        if (!candidateWins) return;
        sqlite3_value_free(*best);
    }
    *best = sqlite3_value_dup(candidate);
    if (*best == nullptr) sqlite3_result_error_nomem(context);
}

void HighestValueFinal(sqlite3_context* context) {
    sqlite3_value** best = BestOfGroup(context, 0);
    if (best == nullptr || *best == nullptr) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_value(context, *best);
    sqlite3_value_free(*best);
}

}  // namespace

void RegisterClassificationFunctions(Database& db) {
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    if (sqlite3_create_function_v2(db.handle(), "HighestValue", 1, kFlags, nullptr, nullptr, HighestValueStep,
                                   HighestValueFinal, nullptr) != SQLITE_OK) {
        throw StoreError(DatabaseErrorText(
            db.path(), sqlite3_extended_errcode(db.handle()),
            std::string("Einstufungsfunktionen nicht anlegbar: ") + sqlite3_errmsg(db.handle())));
    }
}

}  // namespace kalvora
