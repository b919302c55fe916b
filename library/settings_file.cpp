#include "library/settings_file.h"

#include "library/message_box.h"
#include "library/messages.h"
#include "library/platform.h"
#include "library/run_state.h"

namespace quillon {
namespace {

// ReadSettingsChar with the one thing its string cannot say: whether a byte came at all
// (a NUL byte and the end of the file both read as the empty string).
bool ReadSettingsByte(CString& character) {
  char byte = 0;
  if (_read(SettingsFile, &byte, 1) != 1) {
    character = CString();
    return false;
  }
  const char text[2] = {byte, '\0'};
  StatusText = text;
  ShowMessage(StatusText, kCaptionError);
  character = StatusText;
  return true;
}

CString* const kSettings[] = {&Setting1, &Setting2, &Setting3, &Setting4,
                              &Setting5, &Setting6, &Setting7};
constexpr int kSettingCount = 7;

}  // namespace

CString ReadSettingsChar() {
  CString character;
  ReadSettingsByte(character);
  return character;
}

void LoadSettings() {
  SettingsFile = _open(kSettingsFileName, _O_RDWR | _O_BINARY, _S_IWRITE);
  // Stops counting at eight: every line after the seventh is dropped alike.
  int line_number = 1;
  bool done = false;
  while (!done) {
    CString line;
    bool bytes_read = false;
    bool ended_by_lf = false;
    CString character;
    while (ReadSettingsByte(character)) {
      bytes_read = true;
      char byte = character.GetAt(0);
      if (byte == '\n') {
        ended_by_lf = true;
        break;
      }
      if (byte != '\r' && byte != '\0') line += byte;
    }
    // A line the file does not hold (nothing read at all) leaves its value alone.
    if (line_number <= kSettingCount && bytes_read) *kSettings[line_number - 1] = line;
    if (line_number <= kSettingCount) ++line_number;
    int at_end = _eof(SettingsFile);
    if (at_end == -1) ShowMessage(kTextFileError, kCaptionError);
    // A line cut short by the end of the file or a failed read is the last one, even when
    // the end-of-file test disagrees: a read that keeps failing must not loop.
    done = at_end != 0 || !ended_by_lf;
  }
  _close(SettingsFile);
  StatusText = kStatusSettingsLoaded;
}

void SaveSettings() {
  CString lines[kSettingCount];
  for (int i = 0; i < kSettingCount; ++i) {
    lines[i] = *kSettings[i];
    lines[i] += "\r\n";
  }
  int file = _open(kSettingsFileName, _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IWRITE);
  if (file == -1) {
    ShowMessage(kTextSettingsNotOpened, kCaptionError);
    return;
  }
  bool all_written = true;
  for (const CString& line : lines) {
    if (_write(file, line.GetString(), static_cast<unsigned>(line.GetLength())) == -1) {
      all_written = false;
      break;
    }
  }
  if (all_written) ShowMessage(kTextSettingsSaved, kCaptionSaved);
  _close(file);
}

}  // namespace quillon
