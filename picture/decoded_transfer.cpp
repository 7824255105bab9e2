// SPDX-License-Identifier: MIT
#include "picture/decoded_transfer.h"

#include "picture/decode_limits.h"
#include "metadata/metadata_tags.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <fcntl.h>
#include <string>
#include <vector>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t Magic = 0x51444543; // "QDEC"
constexpr std::uint32_t Version = 2;
constexpr std::uint32_t MaxMessages = 64;

// Every metadata model FreeImage knows, so that what a decoder reads survives.
constexpr FREE_IMAGE_MDMODEL Models[] = {FIMD_COMMENTS,  FIMD_EXIF_MAIN, FIMD_EXIF_EXIF,    FIMD_EXIF_GPS,
                                         FIMD_EXIF_MAKERNOTE, FIMD_EXIF_INTEROP, FIMD_IPTC, FIMD_XMP,
                                         FIMD_GEOTIFF, FIMD_ANIMATION, FIMD_CUSTOM, FIMD_EXIF_RAW};

class Writer {
public:
    void U32(std::uint32_t value) { Bytes(&value, sizeof value); }
    void U64(std::uint64_t value) { Bytes(&value, sizeof value); }
    void Bytes(const void* data, std::size_t size)
    {
        U64Raw(size);
        Raw(data, size);
    }
    void Text(const char* text) { Bytes(text, text ? std::strlen(text) : 0); }
    void Text(const std::string& text) { Bytes(text.data(), text.size()); }
    const std::string& Data() const { return m_data; }

private:
    void U64Raw(std::uint64_t value) { Raw(&value, sizeof value); }
    void Raw(const void* data, std::size_t size) { m_data.append(static_cast<const char*>(data), size); }
    std::string m_data;
};

// Reads what Writer wrote; every read past the end or of the wrong size
// marks the reader failed and gives zeros.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint32_t U32()
    {
        std::uint32_t value = 0;
        Fixed(&value, sizeof value);
        return value;
    }
    std::uint64_t U64()
    {
        std::uint64_t value = 0;
        Fixed(&value, sizeof value);
        return value;
    }
    // A field of any length: its bytes, or null and failed.
    const unsigned char* Field(std::size_t& size)
    {
        std::uint64_t length = 0;
        if (!Take(&length, sizeof length) || length > m_size - m_position) {
            m_failed = true;
            size = 0;
            return nullptr;
        }
        size = static_cast<std::size_t>(length);
        const unsigned char* field = m_data + m_position;
        m_position += size;
        return field;
    }
    std::string Text()
    {
        std::size_t size = 0;
        const unsigned char* field = Field(size);
        return field ? std::string(reinterpret_cast<const char*>(field), size) : std::string();
    }
    bool Failed() const { return m_failed; }

private:
    void Fixed(void* out, std::size_t size)
    {
        std::size_t stored = 0;
        const unsigned char* field = Field(stored);
        if (field == nullptr || stored != size) {
            m_failed = true;
            return;
        }
        std::memcpy(out, field, size);
    }
    bool Take(void* out, std::size_t size)
    {
        if (m_failed || size > m_size - m_position)
            return false;
        std::memcpy(out, m_data + m_position, size);
        m_position += size;
        return true;
    }
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
    bool m_failed = false;
};

void WriteMetadata(Writer& out, FIBITMAP* dib)
{
    for (FREE_IMAGE_MDMODEL model : Models) {
        const std::vector<FITAG*> tags = TagsOf(dib, model);
        out.U32(static_cast<std::uint32_t>(tags.size()));
        for (FITAG* each : tags) {
            out.Text(FreeImage_GetTagKey(each));
            out.Text(FreeImage_GetTagDescription(each));
            out.U32(FreeImage_GetTagID(each));
            out.U32(static_cast<std::uint32_t>(FreeImage_GetTagType(each)));
            out.U32(FreeImage_GetTagCount(each));
            out.Bytes(FreeImage_GetTagValue(each), FreeImage_GetTagLength(each));
        }
    }
}

bool ReadMetadata(Reader& in, FIBITMAP* dib)
{
    for (FREE_IMAGE_MDMODEL model : Models) {
        const std::uint32_t count = in.U32();
        for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
            const std::string key = in.Text();
            const std::string description = in.Text();
            const std::uint32_t id = in.U32();
            const std::uint32_t type = in.U32();
            const std::uint32_t valueCount = in.U32();
            std::size_t length = 0;
            const unsigned char* value = in.Field(length);
            if (in.Failed())
                return false;
            FITAG* tag = FreeImage_CreateTag();
            if (tag == nullptr)
                return false;
            // FreeImage checks the length against count and type itself.
            const bool stored = FreeImage_SetTagKey(tag, key.c_str()) &&
                                (description.empty() || FreeImage_SetTagDescription(tag, description.c_str())) &&
                                FreeImage_SetTagID(tag, static_cast<WORD>(id)) &&
                                FreeImage_SetTagType(tag, static_cast<FREE_IMAGE_MDTYPE>(type)) &&
                                FreeImage_SetTagCount(tag, valueCount) &&
                                FreeImage_SetTagLength(tag, static_cast<DWORD>(length)) &&
                                (length == 0 || FreeImage_SetTagValue(tag, value)) &&
                                FreeImage_SetMetadata(model, dib, key.c_str(), tag);
            FreeImage_DeleteTag(tag);
            if (!stored)
                return false;
        }
    }
    return !in.Failed();
}

std::string Description(const DecodedPicture& picture, std::uint64_t pixelOffset)
{
    Writer out;
    out.U32(Magic);
    out.U32(Version);
    out.U32(static_cast<std::uint32_t>(picture.format));
    out.Text(picture.error);
    const std::size_t messages = std::min<std::size_t>(picture.messages.size(), MaxMessages);
    out.U32(static_cast<std::uint32_t>(messages));
    for (std::size_t i = picture.messages.size() - messages; i < picture.messages.size(); ++i)
        out.Text(picture.messages[i]);
    FIBITMAP* dib = picture.bitmap.get();
    out.U32(dib != nullptr);
    if (dib == nullptr)
        return out.Data();
    out.U32(static_cast<std::uint32_t>(FreeImage_GetImageType(dib)));
    out.U32(FreeImage_GetWidth(dib));
    out.U32(FreeImage_GetHeight(dib));
    out.U32(FreeImage_GetBPP(dib));
    out.U32(FreeImage_GetPitch(dib));
    out.U64(pixelOffset);
    out.U32(FreeImage_GetRedMask(dib));
    out.U32(FreeImage_GetGreenMask(dib));
    out.U32(FreeImage_GetBlueMask(dib));
    out.U32(FreeImage_GetDotsPerMeterX(dib));
    out.U32(FreeImage_GetDotsPerMeterY(dib));
    out.Bytes(FreeImage_GetPalette(dib), FreeImage_GetColorsUsed(dib) * sizeof(RGBQUAD));
    out.U32(FreeImage_IsTransparent(dib));
    out.Bytes(FreeImage_GetTransparencyTable(dib), FreeImage_GetTransparencyCount(dib));
    RGBQUAD background{};
    const bool hasBackground = FreeImage_GetBackgroundColor(dib, &background);
    out.U32(hasBackground);
    out.Bytes(&background, sizeof background);
    const FIICCPROFILE* profile = FreeImage_GetICCProfile(dib);
    out.U32(profile->flags);
    out.Bytes(profile->data, profile->data ? profile->size : 0);
    WriteMetadata(out, dib);
    return out.Data();
}

std::uint64_t RoundToPage(std::uint64_t size)
{
    const std::uint64_t page = PageBytes();
    return (size + page - 1) / page * page;
}

// Moves size bytes at offset with pread or pwrite, which may move fewer at a time.
template <typename Bytes, typename Move>
bool MoveAll(Move move, int fd, Bytes* data, std::uint64_t size, std::uint64_t offset)
{
    while (size > 0) {
        const ssize_t moved = move(fd, data, size, static_cast<off_t>(offset));
        if (moved <= 0)
            return false;
        data += moved;
        size -= static_cast<std::uint64_t>(moved);
        offset += static_cast<std::uint64_t>(moved);
    }
    return true;
}

bool WriteAll(int fd, const void* data, std::uint64_t size, std::uint64_t offset)
{
    return MoveAll(pwrite, fd, static_cast<const char*>(data), size, offset);
}

bool ReadAll(int fd, void* data, std::uint64_t size, std::uint64_t offset)
{
    return MoveAll(pread, fd, static_cast<char*>(data), size, offset);
}

DecodedPicture Refused(std::string reason)
{
    DecodedPicture picture;
    picture.error = std::move(reason);
    return picture;
}

// Unmaps when it goes.
struct Mapping {
    void* address = MAP_FAILED;
    std::size_t size = 0;
    ~Mapping()
    {
        if (address != MAP_FAILED)
            munmap(address, size);
    }
};

} // namespace

bool WriteDecodedPicture(int fd, const DecodedPicture& picture, std::uint64_t freeFrom,
                         std::optional<std::uint64_t> pixelsAt)
{
    FIBITMAP* dib = picture.bitmap.get();
    // FreeImage keeps the rows of a bitmap in one block, bottom row first.
    const std::uint64_t pixelBytes =
        dib ? static_cast<std::uint64_t>(FreeImage_GetPitch(dib)) * FreeImage_GetHeight(dib) : 0;
    // Copied pixels come first, the description after whichever pixels there are.
    const std::uint64_t firstFree = RoundToPage(std::max(freeFrom, TransferHeadBytes()));
    const std::uint64_t pixelOffset = pixelsAt.value_or(firstFree);
    const std::uint64_t descriptionOffset = pixelsAt ? firstFree : RoundToPage(firstFree + pixelBytes);
    const std::string description = Description(picture, pixelOffset);
    const std::uint64_t head[2] = {descriptionOffset, description.size()};
    if (dib != nullptr && !pixelsAt && !WriteAll(fd, FreeImage_GetBits(dib), pixelBytes, pixelOffset))
        return false;
    return WriteAll(fd, description.data(), description.size(), descriptionOffset) &&
           WriteAll(fd, head, sizeof head, 0);
}

PremappedBlocks::~PremappedBlocks()
{
    for (const Block& block : m_blocks)
        munmap(block.address, block.size);
}

void PremappedBlocks::Populate(unsigned char* address, std::uint64_t size)
{
    // One entry a page; no system has pages below 4 KiB.
    unsigned char resident[PopulateChunk / 4096] = {};
    const std::uint64_t pageSize = PageBytes();
    for (std::uint64_t done = 0; done < size; done += PopulateChunk) {
        const std::uint64_t chunk = std::min(PopulateChunk, size - done);
        // A page missing means the decoder freed the block: faulting it in would back it again.
        if (mincore(address + done, chunk, resident) != 0)
            return;
        for (std::uint64_t page = 0; page < chunk / pageSize; ++page)
            if ((resident[page] & 1) == 0)
                return;
        // Read faults map the file's pages a batch at a time; the mapping is writable all the same.
        madvise(address + done, chunk, MADV_POPULATE_READ);
    }
}

void PremappedBlocks::Add(std::uint64_t offset, std::uint64_t size)
{
    const std::uint64_t page = PageBytes();
    if (offset < TransferHeadBytes() || offset % page != 0 || size == 0 || size % page != 0 ||
        size > m_maxBytes - std::min(m_mappedBytes, m_maxBytes) || m_blocks.size() == MaxBlocks ||
        offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - size)
        return;
    void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, static_cast<off_t>(offset));
    if (address == MAP_FAILED)
        return;
    Populate(static_cast<unsigned char*>(address), size);
    m_blocks.push_back({offset, size, static_cast<unsigned char*>(address)});
    m_mappedBytes += size;
}

void* PremappedBlocks::Take(std::uint64_t offset, std::uint64_t size)
{
    // The newest first: its pages are the ones the decoder wrote last.
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
        if (offset < block->offset || size > block->size || offset - block->offset > block->size - size)
            continue;
        unsigned char* taken = block->address + (offset - block->offset);
        const std::uint64_t after = block->size - (offset - block->offset) - size;
        if (taken != block->address)
            munmap(block->address, static_cast<std::size_t>(taken - block->address));
        if (after != 0)
            munmap(taken + size, static_cast<std::size_t>(after));
        m_mappedBytes -= block->size;
        m_blocks.erase(std::next(block).base());
        return taken;
    }
    return nullptr;
}

DecodedPicture ReadDecodedPicture(int fd, std::uint64_t maxPixelBytes, PremappedBlocks* premapped)
{
    // Sealed first, so that the file cannot shrink under the mappings below.
    if (fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW) != 0)
        return Refused("the decoder gave back a damaged result");
    struct stat status {};
    std::uint64_t head[2] = {0, 0};
    if (fstat(fd, &status) != 0 || pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head))
        return Refused("the decoder gave back no result");
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    const std::uint64_t descriptionOffset = head[0];
    const std::uint64_t descriptionSize = head[1];
    if (descriptionOffset > fileSize || descriptionSize > fileSize - descriptionOffset || descriptionSize == 0)
        return Refused("the decoder gave back a damaged result");
    // Copied before it is read: the decoder may still be ending, and no field may change once checked.
    if (descriptionSize > std::max<std::uint64_t>(maxPixelBytes, 1 << 20))
        return Refused("the decoder gave back a damaged result");
    std::vector<unsigned char> description;
    try {
        description.resize(static_cast<std::size_t>(descriptionSize));
    } catch (const std::bad_alloc&) {
        return Refused("out of memory while taking over the decoded picture");
    }
    if (!ReadAll(fd, description.data(), descriptionSize, descriptionOffset))
        return Refused("the decoder gave back a damaged result");
    Reader in(description.data(), description.size());
    if (in.U32() != Magic || in.U32() != Version)
        return Refused("the decoder gave back a damaged result");

    DecodedPicture picture;
    picture.format = static_cast<FREE_IMAGE_FORMAT>(static_cast<int>(in.U32()));
    picture.error = in.Text();
    const std::uint32_t messages = std::min(in.U32(), MaxMessages);
    for (std::uint32_t i = 0; i < messages && !in.Failed(); ++i)
        picture.messages.push_back(in.Text());
    const bool hasBitmap = in.U32() != 0;
    if (in.Failed())
        return Refused("the decoder gave back a damaged result");
    if (!hasBitmap) {
        if (picture.error.empty())
            picture.error = "the picture could not be decoded";
        return picture;
    }

    const auto type = static_cast<FREE_IMAGE_TYPE>(in.U32());
    const std::uint32_t width = in.U32();
    const std::uint32_t height = in.U32();
    const std::uint32_t bpp = in.U32();
    const std::uint32_t pitch = in.U32();
    const std::uint64_t pixelOffset = in.U64();
    const std::uint32_t redMask = in.U32();
    const std::uint32_t greenMask = in.U32();
    const std::uint32_t blueMask = in.U32();
    const std::uint32_t dotsX = in.U32();
    const std::uint32_t dotsY = in.U32();
    std::size_t paletteSize = 0;
    const unsigned char* palette = in.Field(paletteSize);
    const bool transparent = in.U32() != 0;
    std::size_t transparencySize = 0;
    const unsigned char* transparency = in.Field(transparencySize);
    const bool hasBackground = in.U32() != 0;
    std::size_t backgroundSize = 0;
    const unsigned char* background = in.Field(backgroundSize);
    const std::uint32_t profileFlags = in.U32();
    std::size_t profileSize = 0;
    const unsigned char* profile = in.Field(profileSize);
    if (in.Failed() || backgroundSize != sizeof(RGBQUAD) || transparencySize > 256)
        return Refused("the decoder gave back a damaged result");

    // Rows shorter than the pitch claims would let FreeImage read past the pixels.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(pitch) * height;
    if (width == 0 || height == 0 || pitch < rowBytes || pixelOffset > fileSize || pixelBytes > fileSize - pixelOffset)
        return Refused("the decoder gave back a damaged result");
    if (pixelBytes > maxPixelBytes)
        return Refused("the picture needs more than " + std::to_string(maxPixelBytes / MiB) + " MiB to open");
    // The pixels stay where the decoder put them: the bitmap borrows their pages.
    const std::uint64_t pixelPage = pixelOffset / PageBytes() * PageBytes();
    Mapping pixels;
    pixels.size = static_cast<std::size_t>(RoundToPage(pixelOffset - pixelPage + pixelBytes));
    if (void* ready = premapped != nullptr ? premapped->Take(pixelPage, pixels.size) : nullptr)
        pixels.address = ready;
    else
        pixels.address = mmap(nullptr, pixels.size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd,
                              static_cast<off_t>(pixelPage));
    if (pixels.address == MAP_FAILED)
        return Refused("out of memory while taking over the decoded picture");
    auto* bits = static_cast<BYTE*>(pixels.address) + (pixelOffset - pixelPage);
    BitmapPtr dib(FreeImage_ConvertFromRawBitsEx(FALSE, bits, type, static_cast<int>(width), static_cast<int>(height),
                                                 static_cast<int>(pitch), bpp, redMask, greenMask, blueMask));
    if (!dib)
        return Refused("the decoder gave back a damaged result");
    TieMappingToBitmap(dib.get(), pixels.address, pixels.size);
    pixels.address = MAP_FAILED;
    if (FreeImage_GetPitch(dib.get()) != pitch || FreeImage_GetBPP(dib.get()) != bpp ||
        paletteSize != FreeImage_GetColorsUsed(dib.get()) * sizeof(RGBQUAD))
        return Refused("the decoder gave back a damaged result");
    if (paletteSize != 0)
        std::memcpy(FreeImage_GetPalette(dib.get()), palette, paletteSize);
    FreeImage_SetDotsPerMeterX(dib.get(), dotsX);
    FreeImage_SetDotsPerMeterY(dib.get(), dotsY);
    if (transparencySize != 0)
        FreeImage_SetTransparencyTable(dib.get(), const_cast<BYTE*>(transparency), static_cast<int>(transparencySize));
    FreeImage_SetTransparent(dib.get(), transparent);
    if (hasBackground) {
        RGBQUAD colour;
        std::memcpy(&colour, background, sizeof colour);
        FreeImage_SetBackgroundColor(dib.get(), &colour);
    }
    if (profileSize != 0) {
        FIICCPROFILE* copy = FreeImage_CreateICCProfile(dib.get(), const_cast<unsigned char*>(profile),
                                                         static_cast<long>(profileSize));
        if (copy == nullptr)
            return Refused("out of memory while taking over the decoded picture");
    }
    // The CMYK flag lives here, so it is kept even without a profile.
    FreeImage_GetICCProfile(dib.get())->flags = static_cast<WORD>(profileFlags);
    if (!ReadMetadata(in, dib.get()))
        return Refused("the decoder gave back a damaged result");
    // Only the pixels' pages stay: the rest of the file goes back to the system.
    const std::uint64_t pixelEnd = RoundToPage(pixelOffset + pixelBytes);
    fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(pixelPage));
    if (pixelEnd < fileSize)
        fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(pixelEnd),
                  static_cast<off_t>(fileSize - pixelEnd));
    picture.bitmap = std::move(dib);
    return picture;
}
