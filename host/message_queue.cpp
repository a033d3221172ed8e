// The thread's message queue: posting, taking without waiting, dispatching.
#include "host/messages.h"

#include "host/clock.h"
#include "host/device.h"
#include "host/window_system.h"

#include <deque>

namespace host {
namespace {

thread_local std::deque<Message> queue;
thread_local bool quitWaiting = false; // quit takes no place in the queue
thread_local uint64_t refused = 0;

bool Matches(const Message& message, WindowHandle window, uint32_t first, uint32_t last) {
    if (window != nullptr && message.window != window && message.window != nullptr) return false;
    if (first == 0 && last == 0) return true;
    return message.message >= first && message.message <= last;
}

WindowHandle windowToPaint = nullptr; // FindWindow's visitor cannot capture

bool NeedsPaint(WindowObject* window) {
    return window->needsPaint && (windowToPaint == nullptr || window == windowToPaint);
}

} // namespace

namespace detail {

void ResetQueue() {
    queue.clear();
    quitWaiting = false;
    refused = 0;
}

void PostFirst(const Message& message) {
    queue.push_front(message);
}

} // namespace detail

bool PeekMessage(Message* out, WindowHandle window, uint32_t first, uint32_t last, uint32_t flags) {
    DeviceOnPoll();
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, window, first, last)) continue;
        const Message message = *it;
        if ((flags & kPeekRemove) != 0) {
            queue.erase(it);
            if (message.message == kMessageQuit) quitWaiting = false;
            DeviceOnMessageTaken(message.message);
        }
        if (out != nullptr) *out = message;
        return true;
    }
    // Paint is not queued: it is made while a window needs painting and
    // nothing else waits, until the window is painted.
    if ((first == 0 && last == 0) || (first <= kMessagePaint && last >= kMessagePaint)) {
        windowToPaint = window;
        const WindowHandle target = detail::FindWindow(NeedsPaint);
        if (target != nullptr) {
            if (out != nullptr) *out = Message{target, kMessagePaint, 0, 0, GetTickCount()};
            return true;
        }
    }
    return false;
}

bool PostMessage(WindowHandle window, uint32_t message, uint32_t wordParam, int32_t longParam) {
    if (window != nullptr && detail::LiveWindow(window) == nullptr) return false;
    if (queue.size() - (quitWaiting ? 1 : 0) >= kMessageQueueCapacity) {
        ++refused;
        return false;
    }
    queue.push_back(Message{window, message, wordParam, longParam, GetTickCount()});
    return true;
}

void PostQuitMessage(int32_t exitCode) {
    const uint32_t code = static_cast<uint32_t>(exitCode);
    if (quitWaiting) {
        for (Message& waiting : queue) {
            if (waiting.message == kMessageQuit) waiting.wordParam = code;
        }
        return;
    }
    queue.push_back(Message{nullptr, kMessageQuit, code, 0, GetTickCount()});
    quitWaiting = true;
}

bool TranslateMessage(const Message* message) {
    return message != nullptr &&
           (message->message == kMessageKeyDown || message->message == kMessageKeyUp);
}

int32_t DispatchMessage(const Message* message) {
    if (message == nullptr) return 0;
    return SendMessage(message->window, message->message, message->wordParam, message->longParam);
}

int32_t SendMessage(WindowHandle window, uint32_t message, uint32_t wordParam, int32_t longParam) {
    const WindowObject* object = detail::LiveWindow(window);
    if (object == nullptr) return 0;
    return object->windowClass->procedure(window, message, wordParam, longParam);
}

int PendingMessageCount() {
    return static_cast<int>(queue.size());
}

uint64_t RefusedMessageCount() {
    return refused;
}

} // namespace host
