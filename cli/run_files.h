#pragma once
// The files the tool hands to one run. The run moves back in its input and opens both files by
// name, so standard input and any other input that cannot seek (a pipe, /dev/stdin, <(...)) is
// first copied into an unnamed temporary file, and "-" as the output collects the records in
// another one, copied to standard output after the run. Memory stays bounded either way.
#include <string>

namespace cli {

class RunFiles {
 public:
  RunFiles() = default;
  ~RunFiles();
  RunFiles(const RunFiles&) = delete;
  RunFiles& operator=(const RunFiles&) = delete;

  // Prepares INPUT and OUTPUT as given on the command line ("-": standard input or output).
  // Returns false, with problem() and exit_status() set, when the run must not start: OUTPUT
  // is the page INPUT itself (the run would empty it before reading it), or a spool failed.
  bool Prepare(const std::string& input, const std::string& output);
  // The names the run opens.
  const std::string& input_name() const { return input_name_; }
  const std::string& output_name() const { return output_name_; }
  // After the run: writes the collected records to standard output when OUTPUT was "-".
  bool Deliver();

  const std::string& problem() const { return problem_; }
  int exit_status() const { return exit_status_; }

 private:
  bool Fail(int exit_status, std::string problem);
  bool SpoolInput(int source, const std::string& shown_name);

  std::string input_name_;
  std::string output_name_;
  int input_spool_ = -1;
  int output_spool_ = -1;
  std::string problem_;
  int exit_status_ = 0;
};

}  // namespace cli
