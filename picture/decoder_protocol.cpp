// SPDX-License-Identifier: MIT
#include "picture/decoder_protocol.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int RequestDescriptors = 3;
constexpr std::size_t MaxName = 4096;

struct RequestHead {
    std::uint64_t budgetBytes;
    std::uint32_t seconds;
    std::uint32_t nameBytes;
};

// A message of bytes with room for the request's descriptors beside them.
struct Message {
    iovec data;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * RequestDescriptors)] = {};
    msghdr header{};

    Message(void* bytes, std::size_t size) : data{bytes, size}
    {
        header.msg_iov = &data;
        header.msg_iovlen = 1;
        header.msg_control = control;
        header.msg_controllen = sizeof control;
    }
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;
};

} // namespace

bool SendDecodeRequest(int socket, const DecodeRequest& request)
{
    if (request.name.size() > MaxName)
        return false;
    std::string payload(sizeof(RequestHead), '\0');
    const RequestHead head{request.budgetBytes, request.seconds, static_cast<std::uint32_t>(request.name.size())};
    std::memcpy(payload.data(), &head, sizeof head);
    payload += request.name;
    Message message(payload.data(), payload.size());
    cmsghdr* rights = CMSG_FIRSTHDR(&message.header);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int) * RequestDescriptors);
    const int descriptors[RequestDescriptors] = {request.file, request.memory, request.notes};
    std::memcpy(CMSG_DATA(rights), descriptors, sizeof descriptors);
    ssize_t sent = -1;
    do
        sent = sendmsg(socket, &message.header, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(payload.size());
}

bool ReceiveDecodeRequest(int socket, DecodeRequest& request)
{
    char payload[sizeof(RequestHead) + MaxName];
    Message message(payload, sizeof payload);
    ssize_t got = -1;
    do
        got = recvmsg(socket, &message.header, MSG_CMSG_CLOEXEC);
    while (got < 0 && errno == EINTR);
    const cmsghdr* rights = got > 0 ? CMSG_FIRSTHDR(&message.header) : nullptr;
    if (rights == nullptr || rights->cmsg_level != SOL_SOCKET || rights->cmsg_type != SCM_RIGHTS ||
        rights->cmsg_len != CMSG_LEN(sizeof(int) * RequestDescriptors))
        return false;
    int descriptors[RequestDescriptors];
    std::memcpy(descriptors, CMSG_DATA(rights), sizeof descriptors);
    request.file = descriptors[0];
    request.memory = descriptors[1];
    request.notes = descriptors[2];
    RequestHead head{};
    if (static_cast<std::size_t>(got) < sizeof head || (message.header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0)
        return false;
    std::memcpy(&head, payload, sizeof head);
    if (head.nameBytes != static_cast<std::size_t>(got) - sizeof head)
        return false;
    request.name.assign(payload + sizeof head, head.nameBytes);
    request.budgetBytes = head.budgetBytes;
    request.seconds = head.seconds;
    return true;
}

void WriteNote(int fd, char note)
{
    [[maybe_unused]] const ssize_t ignored = write(fd, &note, 1);
}

void WriteBlockNote(int fd, std::uint64_t offset, std::uint64_t size)
{
    char note[DecoderNote::BlockBytes];
    note[0] = DecoderNote::Block;
    std::memcpy(note + 1, &offset, sizeof offset);
    std::memcpy(note + 9, &size, sizeof size);
    [[maybe_unused]] const ssize_t ignored = write(fd, note, sizeof note);
}

void WriteSecondsNote(int fd, std::uint32_t seconds)
{
    char note[DecoderNote::SecondsBytes];
    note[0] = DecoderNote::Seconds;
    std::memcpy(note + 1, &seconds, sizeof seconds);
    [[maybe_unused]] const ssize_t ignored = write(fd, note, sizeof note);
}
