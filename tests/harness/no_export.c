/* A QUILLON.dll that lacks _BEGIN_SEARCH_ADD@32: the program must not start against it. */
__declspec(dllexport) int QuillonVersion(void) { return 1; }
