#pragma once
// Every box of the library: no owner window, Yes and No buttons, answer unused.
namespace quillon {

void ShowMessage(const char* text, const char* caption);

}  // namespace quillon
