// One run with real, unpatched message boxes. The run meets a missing input file, so it shows
// its opening notice and then the missing-file box. real_box_answerer.exe, started first,
// finds each box from outside, checks it and clicks it. Exit status 0 when the answerer found
// both boxes as they should be and the run left an empty output file.
#include <windows.h>

#include <cstdio>
#include <string>

#include "library/quillon.h"

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string answerer(path);
  answerer.replace(answerer.rfind('\\') + 1, std::string::npos, "real_box_answerer.exe");
  std::string command = "\"" + answerer + "\" " + std::to_string(GetCurrentProcessId());

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(answerer.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("FAILED: cannot start %s (error %lu)\n", answerer.c_str(), GetLastError());
    return 1;
  }

  DeleteFileA("real_missing.htm");
  BEGIN_SEARCH_ADD(QuillonMakeText("real_missing.htm"), QuillonMakeText("real_out.txt"),
                   QuillonMakeText("yahoo"), QuillonMakeText(""), QuillonMakeText(""),
                   QuillonMakeText(""), QuillonMakeText(""), QuillonMakeText(""));

  DWORD answered = 2;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    std::printf("FAILED: the answerer did not finish\n");
    TerminateProcess(process.hProcess, 3);
  }
  GetExitCodeProcess(process.hProcess, &answered);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  WIN32_FILE_ATTRIBUTE_DATA output = {};
  const bool empty_output = GetFileAttributesExA("real_out.txt", GetFileExInfoStandard, &output) &&
                            output.nFileSizeLow == 0 && output.nFileSizeHigh == 0;
  if (!empty_output) std::printf("FAILED: real_out.txt is not an empty file\n");
  std::printf("answerer exit status %lu\n", answered);
  return answered == 0 && empty_output ? 0 : 1;
}
