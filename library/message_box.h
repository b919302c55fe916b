#pragma once
// Every box of the library: no owner window, Yes and No buttons, answer unused.
namespace quillon {

// Shows `text` with `caption`. Records still on their way to the output file are written
// first, so that boxes and records keep their order.
void ShowMessage(const char* text, const char* caption);

}  // namespace quillon
