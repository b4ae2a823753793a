#pragma once
// How the classification counts one stay and one day record of the work table. The department's
// tables are read once, row by row, and every row is counted by these rules; each field's value is
// taken once per row.

#include <optional>
#include <string_view>

namespace kalvora {

struct ClassificationRun;

// A text field as read from the database; none for NULL.
using FieldText = std::optional<std::string_view>;

// The run's period and minimum hours as the counts compare them.
struct FigurePeriod {
    double from = 0;          // value of Erhebungvon
    double to = 0;            // value of Erhebungbis
    double minimumHours = 0;  // value of MindestStd
    long long firstDay = 0;   // day number of Erhebungvon
    long long lastDay = 0;    // day number of Erhebungbis
    bool substitutesCount = false;

    static FigurePeriod Of(const ClassificationRun& run);
};

// Children's days of one stay: a stay that touches the period and reaches the minimum hours, whatever
// its TYP and FLAG, with an age below 16, counts from its first to its last day inside the period. A
// stay whose admission or discharge does not begin with a valid day cannot be placed in the period
// and counts 0; so does a stay without an age.
long long ChildrenDaysOfStay(const FigurePeriod& period, FieldText admission, FieldText discharge,
                             FieldText hours, FieldText age);

// The day counts and score sums of the period. A day record counts when it lies in the period,
// reaches the minimum hours and has a score; reported days are the delivered ones (QUALIFIER "3"),
// with ErsatzTISS "J" the substitutes too; missing days are the substitutes whatever ErsatzTISS says.
class DayTally {
public:
    explicit DayTally(const FigurePeriod& period) : period_(period) {}

    void add(FieldText qualifier, FieldText recordDate, FieldText score, FieldText hours);

    long long missingDays() const { return missingDays_; }
    long long reportedDays() const { return reportedDays_; }
    double reportedSum() const { return reportedSum_; }
    long long classificationDays() const { return classificationDays_; }
    double classificationSum() const { return classificationSum_; }

private:
    FigurePeriod period_;
    long long missingDays_ = 0;
    long long reportedDays_ = 0;
    double reportedSum_ = 0;
    long long classificationDays_ = 0;
    double classificationSum_ = 0;
};

// Score at or above which a day counts for the classification mean.
inline constexpr double kClassificationScore = 16;
// Age below which a stay's days are children's days.
inline constexpr double kChildAge = 16;

}  // namespace kalvora
