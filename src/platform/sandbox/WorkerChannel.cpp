#include "platform/sandbox/WorkerChannel.h"

#include <sys/socket.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace quarbel::platform::sandbox {

namespace {

constexpr std::uint32_t kMagic = 0x51575231;  // "QWR1"

struct Header {
    std::uint32_t magic;
    std::uint32_t kind;
    std::uint64_t value;
    std::uint32_t textLength;
    std::uint32_t reserved;
};

constexpr std::size_t kMaxDatagram = sizeof(Header) + kMaxMessageText;

void closeReceivedFds(msghdr& header)
{
    for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof fd);
            ::close(fd);
        }
    }
}

}  // namespace

int sendMessage(int socket, const Message& message)
{
    const std::size_t textLength = std::min(message.text.size(), kMaxMessageText);
    Header header{kMagic, std::uint32_t(message.kind), message.value, std::uint32_t(textLength), 0};
    iovec parts[2] = {{&header, sizeof header}, {const_cast<char*>(message.text.data()), textLength}};
    msghdr out{};
    out.msg_iov = parts;
    out.msg_iovlen = 2;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
    if (message.fd >= 0) {
        std::memset(control, 0, sizeof control);
        out.msg_control = control;
        out.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&out);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &message.fd, sizeof(int));
    }
    for (;;) {
        if (::sendmsg(socket, &out, MSG_NOSIGNAL) >= 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

Received receiveMessage(int socket, Message& message)
{
    message = Message{};
    static thread_local std::vector<char> datagram(kMaxDatagram);
    iovec part{datagram.data(), datagram.size()};
    msghdr in{};
    in.msg_iov = &part;
    in.msg_iovlen = 1;
    // Room for one descriptor and a little more, so that extra ones are seen and closed.
    alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
    in.msg_control = control;
    in.msg_controllen = sizeof control;
    ssize_t length;
    do
        length = ::recvmsg(socket, &in, MSG_CMSG_CLOEXEC);
    while (length < 0 && errno == EINTR);
    if (length == 0)
        return Received::Closed;
    if (length < 0)
        return errno == ECONNRESET ? Received::Closed : Received::Broken;

    int fdCount = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&in); c; c = CMSG_NXTHDR(&in, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
            fdCount += int((c->cmsg_len - CMSG_LEN(0)) / sizeof(int));
            if (fdCount == 1)
                std::memcpy(&message.fd, CMSG_DATA(c), sizeof(int));
        }
    }
    Header header;
    const bool wellFormed =
        !(in.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) && fdCount <= 1 && std::size_t(length) >= sizeof header &&
        (std::memcpy(&header, datagram.data(), sizeof header), header.magic == kMagic) &&
        header.textLength <= kMaxMessageText && std::size_t(length) == sizeof header + header.textLength &&
        header.kind >= std::uint32_t(MessageKind::Hello) && header.kind <= std::uint32_t(MessageKind::Forked);
    if (!wellFormed) {
        closeReceivedFds(in);
        message.fd = -1;
        return Received::Broken;
    }
    message.kind = MessageKind(header.kind);
    message.value = header.value;
    message.text.assign(datagram.data() + sizeof header, header.textLength);
    return Received::Message;
}

}  // namespace quarbel::platform::sandbox
