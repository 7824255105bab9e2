// SPDX-License-Identifier: MIT
// The hand-over of a decoded picture through a memory file: pixels already in
// the file are taken where they lie, from a mapping made while the decoder
// worked when there is one, the rest of the file goes back to the system,
// and a result that does not add up is refused, never read past.
#include "picture/decoded_transfer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::uint64_t Page = PageBytes();

// A memory file as the program makes it for the decoder; closed when it goes.
struct MemoryFile {
    int fd = memfd_create("transfer-test", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    ~MemoryFile() { close(fd); }
    std::uint64_t Backed() const
    {
        struct stat status {};
        fstat(fd, &status);
        return static_cast<std::uint64_t>(status.st_blocks) * 512;
    }
};

DecodedPicture Grey(unsigned width, unsigned height)
{
    DecodedPicture picture;
    picture.format = FIF_PNG;
    picture.bitmap.reset(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 8));
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            FreeImage_GetScanLine(picture.bitmap.get(), static_cast<int>(y))[x] = static_cast<BYTE>(x * 7 + y);
    return picture;
}

std::uint64_t PixelBytes(FIBITMAP* dib)
{
    return static_cast<std::uint64_t>(FreeImage_GetPitch(dib)) * FreeImage_GetHeight(dib);
}

// Overwrites the first place in the file where before lies with after.
void Replace(int fd, const std::string& before, const std::string& after)
{
    struct stat status {};
    fstat(fd, &status);
    std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
    ASSERT_EQ(pread(fd, bytes.data(), bytes.size(), 0), status.st_size);
    const std::size_t at = bytes.find(before);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(pwrite(fd, after.data(), after.size(), static_cast<off_t>(at)), static_cast<ssize_t>(after.size()));
}

// A picture written as the decoder leaves it: its pixels at offset at of the
// file, as its shared heap puts them, and the description past the heap.
void WriteInPlace(int fd, const DecodedPicture& picture, std::uint64_t at)
{
    const std::uint64_t bytes = PixelBytes(picture.bitmap.get());
    ASSERT_EQ(pwrite(fd, FreeImage_GetBits(picture.bitmap.get()), bytes, static_cast<off_t>(at)),
              static_cast<ssize_t>(bytes));
    ASSERT_EQ(ftruncate(fd, 64 * Page + static_cast<off_t>(bytes)), 0);
    ASSERT_TRUE(WriteDecodedPicture(fd, picture, 64 * Page + bytes, at));
}

// A field as the description stores it: its length, then its bytes.
std::string Field(std::uint32_t value)
{
    std::string field(12, '\0');
    const std::uint64_t length = sizeof value;
    std::memcpy(field.data(), &length, sizeof length);
    std::memcpy(field.data() + 8, &value, sizeof value);
    return field;
}

} // namespace

TEST(DecodedTransfer, PixelsAlreadyInTheFileAreTakenWhereTheyLie)
{
    MemoryFile file;
    const DecodedPicture picture = Grey(700, 900);
    const std::uint64_t bytes = PixelBytes(picture.bitmap.get());
    // At an offset off the page, as the decoder's heap leaves them.
    const std::uint64_t at = 5 * Page + 48;
    WriteInPlace(file.fd, picture, at);
    const std::string stray(3 * Page, 's');
    ASSERT_EQ(pwrite(file.fd, stray.data(), stray.size(), 40 * Page + static_cast<off_t>(bytes)), static_cast<ssize_t>(3 * Page));

    const DecodedPicture taken = ReadDecodedPicture(file.fd, 1ull << 30);
    ASSERT_TRUE(taken.bitmap) << taken.error;
    FIBITMAP* dib = taken.bitmap.get();
    EXPECT_EQ(FreeImage_GetWidth(dib), 700u);
    EXPECT_EQ(FreeImage_GetPitch(dib), FreeImage_GetPitch(picture.bitmap.get()));
    EXPECT_EQ(std::memcmp(FreeImage_GetBits(dib), FreeImage_GetBits(picture.bitmap.get()), bytes), 0);
    // Only the pixels' pages stay backed: the stray pages and the description went.
    EXPECT_LE(file.Backed(), bytes + 2 * Page);
    // Nobody can shrink the file under the bitmap now.
    EXPECT_NE(ftruncate(file.fd, 0), 0);
}

TEST(DecodedTransfer, CopiedPixelsComeBackAsWritten)
{
    MemoryFile file;
    const DecodedPicture picture = Grey(33, 5);
    ASSERT_TRUE(WriteDecodedPicture(file.fd, picture, 0, std::nullopt));
    const DecodedPicture taken = ReadDecodedPicture(file.fd, 1ull << 30);
    ASSERT_TRUE(taken.bitmap) << taken.error;
    EXPECT_EQ(std::memcmp(FreeImage_GetBits(taken.bitmap.get()), FreeImage_GetBits(picture.bitmap.get()),
                          PixelBytes(picture.bitmap.get())),
              0);
}

TEST(DecodedTransfer, AResultThatDoesNotAddUpIsRefused)
{
    const std::string damaged = "the decoder gave back a damaged result";
    const DecodedPicture picture = Grey(77, 9); // 8 bits a pixel, rows of 80 bytes
    {
        MemoryFile file;
        ASSERT_TRUE(WriteDecodedPicture(file.fd, picture, 0, std::nullopt));
        Replace(file.fd, Field(8) + Field(80), Field(8) + Field(76)); // rows shorter than a line of pixels
        EXPECT_EQ(ReadDecodedPicture(file.fd, 1ull << 30).error, damaged);
    }
    {
        MemoryFile file;
        ASSERT_TRUE(WriteDecodedPicture(file.fd, picture, 0, 1ull << 40)); // pixels past the end
        EXPECT_EQ(ReadDecodedPicture(file.fd, 1ull << 30).error, damaged);
    }
    {
        MemoryFile file;
        ASSERT_TRUE(WriteDecodedPicture(file.fd, picture, 0, std::nullopt));
        const std::uint64_t head[2] = {Page, ~0ull - 2}; // a description running past the end
        ASSERT_EQ(pwrite(file.fd, head, sizeof head, 0), static_cast<ssize_t>(sizeof head));
        EXPECT_EQ(ReadDecodedPicture(file.fd, 1ull << 30).error, damaged);
    }
    {
        MemoryFile file;
        ASSERT_TRUE(WriteDecodedPicture(file.fd, Grey(1100, 1000), 0, std::nullopt));
        EXPECT_EQ(ReadDecodedPicture(file.fd, 1 << 20).error, "the picture needs more than 1 MiB to open");
    }
    {
        MemoryFile file; // sealed by the decoder against the program's own seal
        ASSERT_TRUE(WriteDecodedPicture(file.fd, picture, 0, std::nullopt));
        ASSERT_EQ(fcntl(file.fd, F_ADD_SEALS, F_SEAL_SEAL), 0);
        EXPECT_EQ(ReadDecodedPicture(file.fd, 1ull << 30).error, damaged);
    }
}

namespace {

// Where the memory files of the tests are mapped in this process.
std::vector<std::pair<std::uintptr_t, std::uintptr_t>> MappedRanges()
{
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ranges;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("memfd:transfer-test") != std::string::npos)
            ranges.emplace_back(std::stoull(line.substr(0, line.find('-')), nullptr, 16),
                                std::stoull(line.substr(line.find('-') + 1), nullptr, 16));
    return ranges;
}

} // namespace

TEST(DecodedTransfer, PixelsInABlockMappedWhileDecodingAreTakenFromThatMapping)
{
    MemoryFile file;
    const DecodedPicture picture = Grey(700, 900);
    const std::uint64_t bytes = PixelBytes(picture.bitmap.get());
    const std::uint64_t at = 5 * Page + 48;
    WriteInPlace(file.fd, picture, at);

    const std::uint64_t blockSize = (bytes + 2 * Page) / Page * Page;
    std::optional<DecodedPicture> taken;
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> premappedRanges;
    {
        PremappedBlocks premapped(file.fd, 1ull << 30);
        // Told by a decoder that lies: off the page, over the budget, over the file's head.
        premapped.Add(5 * Page + 1, Page);
        premapped.Add(4 * Page, 1ull << 40);
        premapped.Add(0, Page);
        premapped.Add(8 * Page, Page); // a block the pixels are not all in
        premapped.Add(4 * Page, blockSize);
        premappedRanges = MappedRanges();
        ASSERT_EQ(premappedRanges.size(), 2u);
        taken = ReadDecodedPicture(file.fd, 1ull << 30, &premapped);
    }
    ASSERT_TRUE(taken->bitmap) << taken->error;
    const auto bits = reinterpret_cast<std::uintptr_t>(FreeImage_GetBits(taken->bitmap.get()));
    const auto& block = premappedRanges.back().second - premappedRanges.back().first == blockSize
                            ? premappedRanges.back()
                            : premappedRanges.front();
    EXPECT_TRUE(bits >= block.first && bits + bytes <= block.second);
    // Only the pixels' pages stay mapped; the other blocks and the rest of this one went.
    const auto left = MappedRanges();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].second - left[0].first, (at % Page + bytes + Page - 1) / Page * Page);
    EXPECT_EQ(std::memcmp(FreeImage_GetBits(taken->bitmap.get()), FreeImage_GetBits(picture.bitmap.get()), bytes), 0);
    // The bitmap writes where it lies.
    FreeImage_GetBits(taken->bitmap.get())[0] = 0xAB;
    unsigned char first = 0;
    ASSERT_EQ(pread(file.fd, &first, 1, static_cast<off_t>(at)), 1);
    EXPECT_EQ(first, 0xAB);
}

TEST(DecodedTransfer, PagesTheDecoderFreedAreNeverBackedAgainByTheMapping)
{
    MemoryFile file;
    ASSERT_EQ(ftruncate(file.fd, 16 << 20), 0);
    // A block the decoder backed, then freed but for its first page.
    const std::string first(Page, 'x');
    ASSERT_EQ(pwrite(file.fd, first.data(), first.size(), 4 * Page), static_cast<ssize_t>(Page));
    PremappedBlocks premapped(file.fd, 1ull << 30);
    premapped.Add(4 * Page, 8 << 20);
    EXPECT_LE(file.Backed(), 2 * Page);
}
