#include "TestDecoder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace quarbel::platform::sandbox::test {

namespace {

HandlerResult refused() { return {HandlerStatus::Failed, std::string("refused: ") + std::strerror(errno)}; }
HandlerResult done() { return {HandlerStatus::Done, {}}; }

std::string expandHome(const std::string& path)
{
    const char* home = std::getenv("HOME");
    return path.starts_with("~/") && home ? home + path.substr(1) : path;
}

HandlerResult readFile(const std::string& path, SharedBuffer& output)
{
    const int fd = ::open(expandHome(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return refused();
    char chunk[4096];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    ::close(fd);
    if (n < 0 || !output.resize(std::size_t(n)))
        return refused();
    std::memcpy(output.data(), chunk, std::size_t(n));
    return done();
}

HandlerResult writeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return refused();
    const ssize_t n = ::write(fd, "owned", 5);
    ::close(fd);
    return n == 5 ? done() : refused();
}

HandlerResult connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return refused();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int error = errno;
    ::close(fd);
    errno = error;
    return connected == 0 ? done() : refused();
}

HandlerResult runShell(const std::string& marker)
{
    ::execl("/bin/sh", "sh", "-c", ": > \"$0\"", marker.c_str(), static_cast<char*>(nullptr));
    return refused();
}

// Reads len bytes at address in the program that started the worker.
HandlerResult peekParent(const std::string& where, SharedBuffer& output)
{
    char* end = nullptr;
    const auto address = std::strtoull(where.c_str(), &end, 16);
    const auto length = std::strtoull(end + 1, nullptr, 10);
    std::vector<char> copy(length);
    iovec local{copy.data(), copy.size()};
    iovec remote{reinterpret_cast<void*>(address), length};
    if (::process_vm_readv(::getppid(), &local, 1, &remote, 1, 0) < 0 || !output.resize(copy.size()))
        return refused();
    std::memcpy(output.data(), copy.data(), copy.size());
    return done();
}

HandlerResult allocateWithoutBound()
{
    std::vector<std::unique_ptr<char[]>> blocks;
    for (;;) {
        constexpr std::size_t kBlock = 16 << 20;
        blocks.emplace_back(new char[kBlock]);
        blocks.back()[kBlock - 1] = 1;
    }
}

}  // namespace

HandlerResult testDecode(std::string_view operation, std::span<const std::uint8_t> input, SharedBuffer& output)
{
    const std::string hook(operation.substr(0, operation.find(':')));
    const std::string argument(operation.size() > hook.size() ? operation.substr(hook.size() + 1) : "");
    if (hook == "copy") {
        if (!output.resize(input.size()))
            return {HandlerStatus::Failed, output.error()};
        std::memcpy(output.data(), input.data(), input.size());
        return done();
    }
    if (hook == "crash")
        *static_cast<volatile int*>(nullptr) = 1;
    if (hook == "abort")
        std::abort();
    if (hook == "allocate")
        return allocateWithoutBound();
    if (hook == "spin") {
        volatile unsigned long turns = 0;
        for (;;)
            turns = turns + 1;
    }
    if (hook == "huge-reply")  // a sparse memory file: nothing to write, much to map
        return output.resize(std::size_t(3) << 30) ? done() : refused();
    if (hook == "read")
        return readFile(argument, output);
    if (hook == "write")
        return writeFile(argument);
    if (hook == "connect")
        return connectTo(std::atoi(argument.c_str()));
    if (hook == "shell")
        return runShell(argument);
    if (hook == "signal-parent")
        return ::kill(::getppid(), SIGUSR1) == 0 ? done() : refused();
    if (hook == "peek-parent")
        return peekParent(argument, output);
    if (hook == "descriptor")  // one the program holds open
        return ::fcntl(std::atoi(argument.c_str()), F_GETFD) >= 0 ? done() : refused();
    return {HandlerStatus::Failed, "unknown hook " + hook};
}

void testPrepare()
{
    if (std::getenv("QUARBEL_TEST_ZYGOTE_THREAD"))
        std::thread([] { ::pause(); }).detach();
}

}  // namespace quarbel::platform::sandbox::test
