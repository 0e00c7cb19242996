#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Pictures {

// How the program and its players talk; standard library only, for the
// players that have no Qt. A player is started for one untrusted file: it
// takes the largest side in pixels as its first argument (then whatever
// arguments of its own), and the file's bytes on standard input. It answers
// with its exit code; for a drawn picture it first writes a Header and then
// width x height pixels, 32-bit 0xAARRGGBB with straight alpha, rows top to
// bottom; for a picture too large the Header alone, the size as the file
// gives it. Each player's own constants (its name, its input limit) are in
// its own header beside this one.
namespace PlayerProtocol {

// Largest side a player draws, pixels.
inline constexpr int kMaxSide = 4096;

// The picture's size in pixels, this machine's byte order, and, from a
// player that reads several kinds, the kind it read as Qt's readers name it
// ("png", zero-padded; all zeros from the others). 64 bits: a file may
// claim a size past any int, and is then too large by that size.
struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;
    char kind[8] = {};
};
static_assert(sizeof(Header) == 24, "written and read as two 64-bit numbers and 8 bytes");

// The exit codes, each with a number of its own, whichever player says it.
// None is 1, 2 or a shell's 126 to 255: a sanitizer's report or a failed
// start must not read as one of these.
enum Exit : int {
    kDrawn = 0,
    kTooLarge = 10,
    kEmpty = 11,  // no width or no height
    kNotReadable = 12,
    kCannotStart = 13,    // the metafile player: libwmf cannot work, its fonts are missing
    kOutOfMemory = 14,    // over the player's memory, or a budget of its own
    kUsage = 15,          // arguments it was not made for
    kRefersToFiles = 16,  // the drawing player: the drawing would read other files
    kNotAKind = 17,       // the picture player: a picture of a kind it was not asked for
    kCutShort = 18,       // the picture player: the file ends before its pixels do
    kTooDeep = 19,        // the drawing player: drawings nested deeper than it may draw
    kNoSize = 20,         // the drawing player: a width or height that is not a number
};

// A player that serves several files, one process each: started with
// kServe as its one argument and one end of a SOCK_SEQPACKET socket as its
// standard input, it takes a request a message: a ServeRequest, then the
// arguments it would be started with for the file, each ended by a zero
// byte, and with them (SCM_RIGHTS) a stream socket that is the file's
// standard input and output. For each it forks a process that limits
// itself to the request's deadline, processor time and address space and
// then does what the player started for that file does; when it ends, the
// server sends a ServeAnswer. It ends when the socket closes. Starting
// Qt's libraries once, not once a file, is what it is for.
inline constexpr char kServe[] = "--serve";

struct ServeRequest {
    std::int32_t deadlineMs = 0;
    std::int32_t cpuSeconds = 0;    // a backstop for a process past its deadline
    std::int64_t addressSpace = 0;  // bytes; 0: no limit (under AddressSanitizer)
};
static_assert(sizeof(ServeRequest) == 16, "sent as it lies, no padding");

// Sends a request's bytes (the ServeRequest and the arguments) as one
// message over the control socket, with the file's socket beside them: the
// bytes sent, or -1. A closed server is an error, not a signal.
inline ssize_t SendServeRequest(int control, const char* bytes, std::size_t size, int file) {
    alignas(cmsghdr) char room[CMSG_SPACE(sizeof(int))] = {};
    iovec part{const_cast<char*>(bytes), size};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = room;
    message.msg_controllen = sizeof room;
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(rights), &file, sizeof file);
    return ::sendmsg(control, &message, MSG_NOSIGNAL);
}

enum class ServeEnd : std::int32_t {
    Exited,    // value: the exit code
    Killed,    // value: the signal
    TimedOut,  // past the deadline: killed
    Refused,   // the request made no sense, or no process could be made
};

struct ServeAnswer {
    ServeEnd end = ServeEnd::Refused;
    std::int32_t value = 0;
};
static_assert(sizeof(ServeAnswer) == 8, "sent as it lies, no padding");

// The longest request: the arguments are a few short words.
inline constexpr int kMaxServeRequest = 4096;

}  // namespace PlayerProtocol

}  // namespace Pictures
