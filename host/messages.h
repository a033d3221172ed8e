// The device's message queue: one per thread; messages are posted to it and
// taken without waiting; quit ends a program's loop. Like a real device's, it
// holds a limited number of posted messages: a post to a full queue fails.
// Quit takes no place in it: it always comes, after the messages that wait.
#pragma once
#include "host/handles.h"

#include <cstddef>
#include <cstdint>

namespace host {

struct Message {
    WindowHandle window;
    uint32_t message;
    uint32_t wordParam;
    int32_t longParam;
    uint32_t time; // tick count when posted
};

constexpr uint32_t kPeekRemove = 1;
constexpr size_t kMessageQueueCapacity = 256;

// Takes the first waiting message for the window (null: any) whose number
// lies in [first, last] (both 0: any), removing it with kPeekRemove. When no
// message waits, a window that needs painting gives a paint message. False
// when there is nothing. Never waits.
bool PeekMessage(Message* out, WindowHandle window, uint32_t first, uint32_t last, uint32_t flags);
// False for a window that is gone, or when the queue is full.
bool PostMessage(WindowHandle window, uint32_t message, uint32_t wordParam, int32_t longParam);
// At most one quit waits; posting again gives it the new exit code.
void PostQuitMessage(int32_t exitCode);
// The device's buttons carry no characters: nothing is produced; true for
// key messages.
bool TranslateMessage(const Message* message);
// Calls the procedure of the message's window; 0 when it has none.
int32_t DispatchMessage(const Message* message);
// Calls the window's procedure at once.
int32_t SendMessage(WindowHandle window, uint32_t message, uint32_t wordParam, int32_t longParam);

// Messages waiting in this thread's queue (tests), and the posts refused
// because it was full since the device's reset (reports).
int PendingMessageCount();
uint64_t RefusedMessageCount();

} // namespace host
