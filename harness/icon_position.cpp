#include "harness/icon_position.h"

int CenteredIconOffset(int client, int icon) noexcept {
  return (client - icon + 1) / 2;
}
