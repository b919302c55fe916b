#pragma once
// Memory running out ends the tool with one line on standard error and exit status 1,
// wherever it happens: never a crash, never a success.
namespace cli {

inline constexpr int kMemoryExhaustedStatus = 1;

// Writes "quillon: memory exhausted" to standard error; allocates nothing.
void ReportMemoryExhausted();

// An exception that cannot itself be allocated (the heap and the run-time's emergency pool
// both empty) ends in std::terminate, as does one that escapes a noexcept function: from now
// on, when that exception is about memory, the tool reports it and exits with
// kMemoryExhaustedStatus.
void ReportMemoryExhaustionOnTerminate();

}  // namespace cli
