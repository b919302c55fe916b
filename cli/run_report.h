#pragma once
// Turns the run's message boxes into lines on standard error and counts the ones that matter.
namespace cli {

// Installs the presenter for one run. With `quiet`, the opening notice is left out; the box
// of a run that ran out of memory becomes "quillon: memory exhausted".
void StartRunReport(bool quiet);
// Number of boxes shown since StartRunReport other than the opening notice.
int ReportedProblems();

}  // namespace cli
