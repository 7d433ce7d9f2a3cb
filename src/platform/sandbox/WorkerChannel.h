#pragma once
// The small messages that pass between the program and a worker process over their socket
// (a SOCK_SEQPACKET pair, so each message arrives whole or not at all and a worker's end is
// seen as the end of the stream). Picture bytes never travel here: a message carries at
// most one descriptor of shared memory (SCM_RIGHTS) and a short text.
//
// The conversation: the worker says Hello (with the confinement it runs under) once, then
// for each Work message it answers Done (with the output's memory) or Failed (with the
// reason). Anything else ends the worker.

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarbel::platform::sandbox {

enum class MessageKind : std::uint32_t {
    Hello = 1,   // worker -> program: value = Confinement flags
    Work = 2,    // program -> worker: text = operation, fd = input bytes
    Done = 3,    // worker -> program: fd = output bytes, text = a note or empty
    Failed = 4,  // worker -> program: text = why the item failed
    // Between the program and a zygote (Zygote.h), which also says Hello once:
    Fork = 5,    // program -> zygote: text = the worker's arguments, one a line; fd = its socket
    Forked = 6,  // zygote -> program: value = the new worker's pid (Failed: why there is none)
};

struct Message {
    MessageKind kind = MessageKind::Work;
    std::uint64_t value = 0;
    std::string text;
    int fd = -1;  // received: owned by the receiver, who must close or adopt it
};

// The longest text a message carries; longer texts are cut when sent.
inline constexpr std::size_t kMaxMessageText = 16 * 1024;

enum class Received {
    Message,  // a whole message arrived
    Closed,   // the other end is gone
    Broken,   // something arrived that is not a message of ours (its descriptors are closed)
};

// 0 or an errno value. Never raises SIGPIPE.
int sendMessage(int socket, const Message& message);
Received receiveMessage(int socket, Message& message);

}  // namespace quarbel::platform::sandbox
