#ifndef ORVANE_BENCH_SUPPORT_YEARSDATA_H
#define ORVANE_BENCH_SUPPORT_YEARSDATA_H

#include "schedule/dayactions.h"

#include <QDate>
#include <QSqlDatabase>
#include <QStringList>

// Years of a person's days, made through the program's own actions: for every date two
// schedules (one per template below, 30 timed and labelled records each) are opened from their
// template and saved with "保存修改"'s action, which writes the records, the summary, the day's
// label table and closes the weeks, months and years the date ends. Days go in date order, so
// every week, month and year that ended inside the range is closed as the program closes them.
//
// A benchmark adds bench/support/yearsdata.cpp to its sources and links orvane_logic (the
// test support libraries bring it). Three years take minutes to build; bench/years keeps a built
// copy when ORVANE_YEARS_CACHE names a folder.
//
// Call with the program's connection (Database::connect) in a prepared working directory
// (TestEnvironment); the template files are written first. Batches of days share one
// transaction: DayActions' own transactions nest into it, so each statement is the program's.
namespace YearsData {

inline constexpr int recordsPerSchedule = 30;

// The two templates every day is made from, in the order they are saved.
QStringList templateNames();
// Writes both template files into the template folder (replacing older ones).
bool writeTemplates();

// What the day view would hold for schedule `templateIndex` of `date` when it is saved: every
// record timed, labelled, with a plan and a result; the summary's texts and score filled.
DayEdits dayEdits(const QDate &date, int templateIndex);

// Opens and saves both schedules of every date first..last. False on the first failure.
bool fill(QSqlDatabase db, const QDate &first, const QDate &last);

// The last day of every range below, the test environment's today.
QDate lastDay();
// Three years ending at lastDay(): 2023-12-08 .. 2026-12-07 (1,096 days, 2,192 schedules).
bool fillThreeYears(QSqlDatabase db);
// One week ending at lastDay(): 2026-12-01 .. 2026-12-07.
bool fillOneWeek(QSqlDatabase db);

} // namespace YearsData

#endif
