#pragma once
// Message maps: each class that handles messages owns a static table of entries and a link to
// its base class's table; a message is looked up in the most derived table first.
#include "framework/win32.h"

class CCmdTarget;

// Calls one handler of `target` (which is of the class that owns the entry) with the message's
// parameters and returns the message's result.
using AfxHandlerThunk = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT message;
  // For WM_COMMAND only: the notification code and the control or command identifier.
  UINT code;
  UINT id;
  AfxHandlerThunk handler;  // null ends the table
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*base_map)();  // null for the root
  const AFX_MSGMAP_ENTRY* entries;
};

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;

  // Looks `message` up in this object's maps, most derived first, and calls the first match.
  // True when a handler ran; its result is stored in `*result`.
  bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // The WM_COMMAND form: true when a handler for command `id` with notification `code` ran.
  bool OnCmdMsg(UINT id, UINT code);

  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
};

// In a class body: the class has its own table.
#define DECLARE_MESSAGE_MAP()                        \
 public:                                             \
  static const AFX_MSGMAP* GetThisMessageMap();      \
  const AFX_MSGMAP* GetMessageMap() const override { \
    return GetThisMessageMap();                      \
  }                                                  \
                                                     \
 private:

// The table of `theClass`, whose unmatched messages go on to `baseClass`'s table. Entries go
// between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP, each ending in a comma.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)      \
  const AFX_MSGMAP* theClass::GetThisMessageMap() { \
    using ThisClass [[maybe_unused]] = theClass;    \
    using TheBaseClass = baseClass;                 \
    static const AFX_MSGMAP_ENTRY kEntries[] = {
#define END_MESSAGE_MAP()                                                      \
  { 0, 0, 0, nullptr }                                                         \
  }                                                                            \
  ;                                                                            \
  static const AFX_MSGMAP kMap = {&TheBaseClass::GetThisMessageMap, kEntries}; \
  return &kMap;                                                                \
  }

#define AFX_THUNK(body)                                                \
  [](CCmdTarget* target_, WPARAM wParam_, LPARAM lParam_) -> LRESULT { \
    ThisClass* self_ = static_cast<ThisClass*>(target_);               \
    (void)self_;                                                       \
    (void)wParam_;                                                     \
    (void)lParam_;                                                     \
    body;                                                              \
  }

// WM_COMMAND from control or command `id` with notification `code`: void handler().
#define ON_CONTROL(code, id, memberFxn)                                      \
  { WM_COMMAND, (code), (id), AFX_THUNK((self_->*(memberFxn))(); return 0) } \
  ,
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// void OnSysCommand(UINT command, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                            \
  {                                                                                   \
    WM_SYSCOMMAND, 0, 0,                                                              \
        AFX_THUNK(self_->OnSysCommand(static_cast<UINT>(wParam_), lParam_); return 0) \
  }                                                                                   \
  ,
// void OnPaint()
#define ON_WM_PAINT()                                       \
  { WM_PAINT, 0, 0, AFX_THUNK(self_->OnPaint(); return 0) } \
  ,
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
  {WM_QUERYDRAGICON, 0, 0, AFX_THUNK(return reinterpret_cast<LRESULT>(self_->OnQueryDragIcon()))},
