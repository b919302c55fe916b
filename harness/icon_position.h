#pragma once
// Where an icon `icon` units long starts so that it sits centred in a client area `client`
// units long: (client - icon + 1) / 2, truncated toward zero, so a client area one unit
// smaller than the icon still gives 0.
int CenteredIconOffset(int client, int icon) noexcept;
