// SPDX-License-Identifier: MIT
// What the program and the decoding process say to each other. The program
// sends one request on the process's socket: the picture file, the memory
// file the result goes into and the write end of a note pipe, with the
// file's name and the limits. The process answers with notes on that pipe,
// each written in one go so that notes never interleave.
#pragma once

#include <cstdint>
#include <string>

// The socket a waiting decoding process reads its request from.
constexpr int RequestDescriptor = 3;

struct DecodeRequest {
    int file = -1;   // open for reading
    int memory = -1; // memfd the result goes into
    int notes = -1;  // write end of the note pipe
    std::string name; // as the user named the file: its extension picks the decoder
    std::uint64_t budgetBytes = 0;
    std::uint32_t seconds = 0;
};

// False when the socket is closed or the request cannot be sent.
bool SendDecodeRequest(int socket, const DecodeRequest& request);
// False when the program went away or sent something else than a request;
// the descriptors received are the caller's to close.
bool ReceiveDecodeRequest(int socket, DecodeRequest& request);

namespace DecoderNote {
constexpr char Received = 'R'; // the request was taken
constexpr char RefusedMemory = 'M'; // an allocation was refused
constexpr char Block = 'B'; // a large block is backed: file offset and size follow, 8 bytes each
constexpr char Done = 'D'; // the result is whole in the memory file; the process ends
constexpr char Seconds = 'T'; // the time the decoding may take from the request on: 4 bytes of seconds follow
constexpr std::size_t BlockBytes = 17;
constexpr std::size_t SecondsBytes = 5;
} // namespace DecoderNote

// Writes a note, ignoring a program that stopped listening.
void WriteNote(int fd, char note);
void WriteBlockNote(int fd, std::uint64_t offset, std::uint64_t size);
void WriteSecondsNote(int fd, std::uint32_t seconds);
