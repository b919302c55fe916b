/* A caller written in C that knows the library only through quillon.h and the import library
 * (the build's, and the Windows zip's). The boxes are real: each is answered "No" as it opens
 * (a CBT hook on this thread) and its caption recorded. Exit status 0 when every check holds. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "quillon.h"

static char captions[8][64];
static int boxes;

static LRESULT CALLBACK AnswerNo(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = (HWND)wparam;
    char class_name[16] = "";
    GetClassNameA(box, class_name, sizeof class_name);
    if (strcmp(class_name, "#32770") == 0) {
      if (boxes < 8) GetWindowTextA(box, captions[boxes], sizeof captions[0]);
      ++boxes;
      PostMessageA(box, WM_COMMAND, IDNO, 0);
    }
  }
  return CallNextHookEx(NULL, code, wparam, lparam);
}

static int failures;

static void Check(int holds, const char* what) {
  if (!holds) {
    ++failures;
    printf("FAILED: %s\n", what);
  }
}

static void WriteBytes(const char* name, const char* bytes) {
  FILE* file = fopen(name, "wb");
  if (file == NULL) return;
  fputs(bytes, file);
  fclose(file);
}

static int FileHolds(const char* name, const char* expected) {
  char bytes[256];
  size_t got;
  FILE* file = fopen(name, "rb");
  if (file == NULL) return 0;
  got = fread(bytes, 1, sizeof bytes, file);
  fclose(file);
  return got == strlen(expected) && memcmp(bytes, expected, got) == 0;
}

static void Run(const char* input, const char* output, const char* keyword) {
  BEGIN_SEARCH_ADD(QuillonMakeText(input), QuillonMakeText(output), QuillonMakeText(keyword),
                   QuillonMakeText(""), QuillonMakeText(""), QuillonMakeText(""),
                   QuillonMakeText(""), QuillonMakeText(""));
}

int main(void) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerNo, NULL, GetCurrentThreadId());
  Check(hook != NULL, "the box hook is installed");

  WriteBytes("c_page.htm",
             "<a href=\"http://c.example/x\">x</a>\n<a href=\"http://skip.example/y.htm\">y</a>\n"
             "<A HREF=\"http://c.example/z.HTM\">z</A>\n");
  Run("c_page.htm", "c_out.txt", "skip");
  Check(FileHolds("c_out.txt", "http://c.example/x/\r\nhttp://c.example/z.HTM\r\n"),
        "the records of the page");
  Check(boxes == 1 && strcmp(captions[0], "ERROR") == 0, "one box, captioned ERROR");

  DeleteFileA("c_missing.htm");
  Run("c_missing.htm", "c_out.txt", "");
  Check(FileHolds("c_out.txt", ""), "an input file that is missing leaves an empty output file");
  Check(boxes == 3 && strcmp(captions[1], "ERROR") == 0 && strcmp(captions[2], "エラーです。") == 0,
        "two more boxes, the second captioned for the missing file");

  UnhookWindowsHookEx(hook);
  printf("%d boxes, %d failures\n", boxes, failures);
  return failures == 0 ? 0 : 1;
}
