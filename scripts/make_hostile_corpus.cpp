// SPDX-License-Identifier: MIT
// Writes the generated part of tests/data/hostile: small pictures of every
// pixel layout the loader meets, and files damaged in known ways. Run by
// scripts/make_hostile_corpus.sh; the output is committed.
#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_folder;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "make_hostile_corpus: %s\n", what.c_str());
    std::exit(1);
}

std::string PathOf(const std::string& name) { return g_folder + "/" + name; }

void WriteBytes(const std::string& name, const Bytes& bytes)
{
    std::ofstream file(PathOf(name), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        Fail("cannot write " + name);
}

FIBITMAP* Allocate(FREE_IMAGE_TYPE type, int width, int height, int bitsPerPixel = 8)
{
    FIBITMAP* bitmap = FreeImage_AllocateT(type, width, height, bitsPerPixel);
    if (bitmap == nullptr)
        Fail("out of memory");
    return bitmap;
}

void Save(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, const std::string& name, int flags = 0)
{
    if (!FreeImage_Save(format, bitmap, PathOf(name).c_str(), flags))
        Fail("cannot save " + name);
    FreeImage_Unload(bitmap);
}

Bytes SaveToMemory(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags = 0)
{
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (!FreeImage_SaveToMemory(format, bitmap, memory, flags))
        Fail("cannot encode a picture");
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    Bytes bytes(data, data + size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(bitmap);
    return bytes;
}

// A pattern every layout can show: value = (x * 37 + y * 11 + channel * 71) mod 256.
int PatternAt(int x, int y, int channel) { return (x * 37 + y * 11 + channel * 71) % 256; }

// 24- or 32-bit colour, channels in memory order.
FIBITMAP* ColourPicture(int width, int height, int bitsPerPixel)
{
    FIBITMAP* bitmap = Allocate(FIT_BITMAP, width, height, bitsPerPixel);
    const int bytesPerPixel = bitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bytesPerPixel; ++c)
                line[x * bytesPerPixel + c] = static_cast<BYTE>(PatternAt(x, y, c));
    }
    return bitmap;
}

// 1, 4 or 8 bits of palette index; the palette holds distinct colours.
FIBITMAP* PalettePicture(int width, int height, int bitsPerPixel)
{
    FIBITMAP* bitmap = Allocate(FIT_BITMAP, width, height, bitsPerPixel);
    const int colours = 1 << bitsPerPixel;
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < colours; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(255 - i * 255 / (colours - 1)), static_cast<BYTE>(i * 97 % 256),
                             static_cast<BYTE>(i * 255 / (colours - 1)), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE index = static_cast<BYTE>((x + 3 * y) % colours);
            FreeImage_SetPixelIndex(bitmap, x, y, &index);
        }
    return bitmap;
}

FIBITMAP* GreyPicture(int width, int height)
{
    FIBITMAP* bitmap = Allocate(FIT_BITMAP, width, height, 8);
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FreeImage_GetScanLine(bitmap, y)[x] = static_cast<BYTE>(PatternAt(x, y, 0));
    return bitmap;
}

// Samples of 16 bits whose high byte is the pattern, so that dropping the low
// byte gives the pattern back.
FIBITMAP* DeepPicture(FREE_IMAGE_TYPE type, int width, int height, int channels)
{
    FIBITMAP* bitmap = Allocate(type, width, height);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(bitmap, y));
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                line[x * channels + c] = static_cast<uint16_t>(PatternAt(x, y, c) * 257);
    }
    return bitmap;
}

FIBITMAP* FloatPicture(FREE_IMAGE_TYPE type, int width, int height, int channels)
{
    FIBITMAP* bitmap = Allocate(type, width, height);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<float*>(FreeImage_GetScanLine(bitmap, y));
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                line[x * channels + c] = static_cast<float>(PatternAt(x, y, c)) / 255.0f;
    }
    return bitmap;
}

uint32_t Crc32(const uint8_t* data, std::size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

uint32_t ReadBig32(const Bytes& bytes, std::size_t at)
{
    return static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}

void WriteBig32(Bytes& bytes, std::size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Where the chunk of this type starts (its length field) in a PNG stream.
std::size_t FindChunk(const Bytes& png, const char* type)
{
    std::size_t at = 8;
    while (at + 8 <= png.size()) {
        if (std::memcmp(&png[at + 4], type, 4) == 0)
            return at;
        at += 12 + ReadBig32(png, at);
    }
    Fail(std::string("no ") + type + " chunk");
}

void FixChunkCrc(Bytes& png, std::size_t chunk)
{
    const uint32_t length = ReadBig32(png, chunk);
    WriteBig32(png, chunk + 8 + length, Crc32(&png[chunk + 4], length + 4));
}

void WritePngDamage()
{
    const Bytes png = SaveToMemory(ColourPicture(16, 12, 24), FIF_PNG);

    Bytes badCrc = png;
    const std::size_t idat = FindChunk(badCrc, "IDAT");
    badCrc[idat + 8 + ReadBig32(badCrc, idat) / 2] ^= 0x5A;
    WriteBytes("bad_crc.png", badCrc);

    // The chunk is intact as a chunk; its compressed stream is not.
    Bytes badData = png;
    const uint32_t length = ReadBig32(badData, idat);
    for (uint32_t i = 2; i < length; ++i)
        badData[idat + 8 + i] = static_cast<uint8_t>(i * 151 + 7);
    FixChunkCrc(badData, idat);
    WriteBytes("bad_idat.png", badData);

    Bytes huge = SaveToMemory(ColourPicture(1, 1, 24), FIF_PNG);
    const std::size_t ihdr = FindChunk(huge, "IHDR");
    WriteBig32(huge, ihdr + 8, 100000);
    WriteBig32(huge, ihdr + 12, 100000);
    FixChunkCrc(huge, ihdr);
    WriteBytes("huge_header.png", huge);
}

// The frame found by fuzzing: a 1 x 0 screen holding one 65280 x 52137
// frame with no pixel data.
void WriteHugeGif()
{
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                       0x2C, 0x00, 0x75, 0x00, 0x00, 0x00, 0xFF, 0xA9, 0xCB, 0x7D, 0x05, 0x00, 0x3B};
    WriteBytes("huge_frame.gif", gif);
}

// Also found by fuzzing: a frame of 17993 x 14648 pixels, just below the
// size limit, with six bytes of pixel data.
void WriteThinGif()
{
    const Bytes gif = {'G',  'I',  'F',  '8',  '9',  'a',  0x08, 0x00, 0x06, 0x00, 0xF0, 0x00, 0x00, 0x00, 0x80, 0x00,
                       0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x47,
                       0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x06, 0x84, 0x8F, 0xA9, 0xCB, 0x7D, 0x05, 0x00, 0x3B};
    WriteBytes("thin_frame.gif", gif);
}

Bytes Joined(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Big16(int value) { return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}; }

Bytes Big32(uint32_t value)
{
    Bytes bytes(4);
    WriteBig32(bytes, 0, value);
    return bytes;
}

// Where these bytes first occur.
std::size_t Find(const Bytes& bytes, const Bytes& wanted)
{
    const auto at = std::search(bytes.begin(), bytes.end(), wanted.begin(), wanted.end());
    if (at == bytes.end())
        Fail("a marker is missing from an encoded picture");
    return static_cast<std::size_t>(at - bytes.begin());
}

// A small bilevel bitmap as text, and one that claims 100000 x 100000 pixels
// with one byte of data.
void WriteXbms()
{
    std::string small =
        "#define bilevel_width 13\n#define bilevel_height 7\nstatic unsigned char bilevel_bits[] = {\n";
    for (int y = 0; y < 7; ++y)
        for (int half = 0; half < 2; ++half) {
            char byte[8];
            std::snprintf(byte, sizeof byte, " 0x%02x,", (0x55 << (y % 2)) & 0xFF);
            small += byte;
        }
    small += "\n};\n";
    WriteBytes("bilevel.xbm", TextBytes(small));
    WriteBytes("huge_bitmap.xbm",
               TextBytes("#define huge_width 100000\n#define huge_height 100000\nstatic char huge_bits[] = {\n 0x00 };\n"));
}

// A PNG stream's chunks, wrapped in an MNG header and end chunk.
Bytes MngAround(const Bytes& png)
{
    const Bytes signature = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header = Joined({Big32(28), TextBytes("MHDR"), Big32(13), Big32(7), Big32(1), Big32(0), Big32(0),
                           Big32(0), Big32(1), Big32(0)});
    FixChunkCrc(header, 0);
    const Bytes end = {0, 0, 0, 0, 'M', 'E', 'N', 'D', 0x21, 0x20, 0xF7, 0xD5};
    return Joined({signature, header, Bytes(png.begin() + 8, png.end()), end});
}

// A small picture in one, and an embedded image claiming 100000 x 100000
// pixels with the data of one in the other.
void WriteMngs()
{
    WriteBytes("embedded.mng", MngAround(SaveToMemory(ColourPicture(13, 7, 24), FIF_PNG)));
    Bytes png = SaveToMemory(ColourPicture(1, 1, 24), FIF_PNG);
    const std::size_t ihdr = FindChunk(png, "IHDR");
    WriteBig32(png, ihdr + 8, 100000);
    WriteBig32(png, ihdr + 12, 100000);
    FixChunkCrc(png, ihdr);
    WriteBytes("huge_image.mng", MngAround(png));
}

// The size marker of a small codestream made to claim 100000 x 100000
// pixels in one tile.
void ClaimHugeCodestream(Bytes& bytes)
{
    const std::size_t size = Find(bytes, {0xFF, 0x4F, 0xFF, 0x51});
    for (const std::size_t field : {8, 12, 24, 28})
        WriteBig32(bytes, size + field, 100000);
}

// The encoder's six resolution levels need 32 pixels a side.
void WriteJpeg2000s()
{
    Save(ColourPicture(37, 33, 24), FIF_J2K, "rgb.j2k");
    Save(ColourPicture(37, 33, 24), FIF_JP2, "rgb.jp2");
    Bytes codestream = SaveToMemory(ColourPicture(32, 32, 24), FIF_J2K);
    ClaimHugeCodestream(codestream);
    WriteBytes("huge_codestream.j2k", codestream);
    Bytes boxes = SaveToMemory(ColourPicture(32, 32, 24), FIF_JP2);
    ClaimHugeCodestream(boxes);
    const std::size_t imageHeader = Find(boxes, TextBytes("ihdr"));
    WriteBig32(boxes, imageHeader + 4, 100000);
    WriteBig32(boxes, imageHeader + 8, 100000);
    WriteBytes("huge_header.jp2", boxes);
}

// A version 2 picture of a one-pixel frame whose first pixel map claims
// 30000 x 30000 pixels and holds none; and a file that ends after its frame.
void WritePicts()
{
    const Bytes frame = Joined({Big16(0), Big16(0), Big16(1), Big16(1)});
    const Bytes huge = Joined({Big16(0), Big16(0), Big16(30000), Big16(30000)});
    const Bytes header = Joined({Bytes(512, 0), Big16(0), frame, Big16(0x0011), Big16(0x02FF), Big16(0x0C00),
                                 Big16(-2), Big16(0), Big32(0x480000), Big32(0x480000), frame, Big32(0)});
    // A direct pixel map of 32-bit pixels: base address, row bytes (flagged,
    // and as many as the field holds), bounds, version, packing, packed size,
    // resolution, type, depth, components, component depth, plane bytes,
    // colour table, reserved; then source and destination rectangles and the
    // transfer mode.
    const Bytes pixelMap = Joined({Big16(0x009A), Big32(0xFF), Big16(0xBFFC), huge, Big16(0),
                                   Big16(4), Big32(0), Big32(0x480000), Big32(0x480000), Big16(16), Big16(32),
                                   Big16(3), Big16(8), Big32(0), Big32(0), Big32(0), huge, frame, Big16(0)});
    WriteBytes("huge_pixel_map.pct", Joined({header, Big16(0x001E), pixelMap, Big16(0x00FF)}));
    WriteBytes("ends_after_frame.pct", Joined({Bytes(512, 0), Big16(0), frame}));
}

FIBITMAP* CmykPicture(int width, int height)
{
    FIBITMAP* bitmap = ColourPicture(width, height, 32);
    FreeImage_GetICCProfile(bitmap)->flags |= FIICC_COLOR_IS_CMYK;
    return bitmap;
}

FIBITMAP* Rgb565Picture(int width, int height)
{
    FIBITMAP* colour = ColourPicture(width, height, 24);
    FIBITMAP* bitmap = FreeImage_ConvertTo16Bits565(colour);
    FreeImage_Unload(colour);
    if (bitmap == nullptr)
        Fail("cannot make a 16-bit colour picture");
    return bitmap;
}

// Two pages of different sizes and depths; only the first is the picture.
void WriteTwoPageTiff()
{
    FIMULTIBITMAP* pages = FreeImage_OpenMultiBitmap(FIF_TIFF, PathOf("two_pages.tif").c_str(), TRUE, FALSE);
    if (pages == nullptr)
        Fail("cannot create two_pages.tif");
    for (FIBITMAP* page : {ColourPicture(13, 7, 24), GreyPicture(5, 3)}) {
        FreeImage_AppendPage(pages, page);
        FreeImage_Unload(page);
    }
    if (!FreeImage_CloseMultiBitmap(pages))
        Fail("cannot write two_pages.tif");
}

} // namespace

// A 48-bit RGB TIFF whose samples are declared signed: FreeImage has no
// pixel type for them. FreeImage writes little-endian files with the
// three SampleFormat values out of line.
void WriteSignedTiff()
{
    Bytes bytes = SaveToMemory(DeepPicture(FIT_RGB16, 13, 7, 3), FIF_TIFF);
    const auto get16 = [&](std::size_t at) { return static_cast<unsigned>(bytes.at(at) | bytes.at(at + 1) << 8); };
    const auto get32 = [&](std::size_t at) { return get16(at) | get16(at + 2) << 16; };
    const std::size_t directory = get32(4);
    for (unsigned i = 0; i < get16(directory); ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (get16(entry) != 339 || get32(entry + 4) != 3)
            continue;
        for (std::size_t value = get32(entry + 8); value < get32(entry + 8) + 6; value += 2)
            bytes.at(value) = 2;
        WriteBytes("rgb_signed_16bit.tif", bytes);
        return;
    }
    Fail("no SampleFormat entry to change in rgb_signed_16bit.tif");
}

// Small files whose headers claim pictures far larger than their bytes can
// hold, each below the size limit, so that only the claim's floor refuses them.
void WriteOverclaims()
{
    // A progressive JPEG's decoder reserves coefficients for the whole picture up front.
    Bytes jpeg = SaveToMemory(ColourPicture(16, 16, 24), FIF_JPEG, JPEG_PROGRESSIVE);
    const std::size_t frame = Find(jpeg, {0xFF, 0xC2});
    jpeg[frame + 5] = static_cast<uint8_t>(8000 >> 8), jpeg[frame + 6] = static_cast<uint8_t>(8000 & 0xFF);
    jpeg[frame + 7] = static_cast<uint8_t>(30000 >> 8), jpeg[frame + 8] = static_cast<uint8_t>(30000 & 0xFF);
    WriteBytes("overclaim_progressive.jpg", jpeg);

    Bytes png = SaveToMemory(ColourPicture(16, 12, 24), FIF_PNG);
    const std::size_t ihdr = FindChunk(png, "IHDR");
    WriteBig32(png, ihdr + 8, 16000);
    WriteBig32(png, ihdr + 12, 16000);
    FixChunkCrc(png, ihdr);
    WriteBytes("overclaim.png", png);

    // The data window's corner, past the two version words and the attributes before it.
    Bytes exr = SaveToMemory(FloatPicture(FIT_RGBF, 16, 16, 3), FIF_EXR, EXR_ZIP);
    const std::size_t window = Find(exr, TextBytes(std::string("dataWindow\0box2i\0", 17))) + 17 + 4 + 8;
    for (const std::size_t at : {window, window + 4})
        for (int i = 0; i < 4; ++i)
            exr[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(15999 >> (8 * i));
    WriteBytes("overclaim.exr", exr);

    // An attribute whose size field claims nearly 2 GB, which the decoder
    // would reserve before finding the file too short.
    Bytes overrun = SaveToMemory(FloatPicture(FIT_RGBF, 16, 16, 3), FIF_EXR, EXR_ZIP);
    const std::size_t display = Find(overrun, TextBytes(std::string("displayWindow\0box2i\0", 20))) + 20;
    for (int i = 0; i < 4; ++i)
        overrun[display + static_cast<std::size_t>(i)] = static_cast<uint8_t>(0x6f646e00 >> (8 * i));
    WriteBytes("attribute_overrun.exr", overrun);

    // A deflated TIFF whose directory claims 16000 x 16000 pixels: its one
    // strip of a few hundred bytes cannot hold them.
    Bytes tiff = SaveToMemory(ColourPicture(16, 16, 24), FIF_TIFF, TIFF_ADOBE_DEFLATE);
    if (tiff[0] != 'I')
        Fail("expected a little-endian TIFF file");
    const std::size_t directory = tiff[4] | tiff[5] << 8 | tiff[6] << 16 | static_cast<std::size_t>(tiff[7]) << 24;
    for (std::size_t entry = directory + 2; entry < directory + 2 + 12 * (tiff[directory] | tiff[directory + 1] << 8);
         entry += 12) {
        const int tag = tiff[entry] | tiff[entry + 1] << 8;
        if (tag == 256 || tag == 257) {
            tiff[entry + 8] = 16000 & 0xFF;
            tiff[entry + 9] = 16000 >> 8;
        }
    }
    WriteBytes("overclaim.tif", tiff);
}

int main(int argc, char** argv)
{
    if (argc != 2)
        Fail("usage: make_hostile_corpus FOLDER");
    g_folder = argv[1];

    WriteBytes("empty.png", {});
    const std::string text = "These are notes, not a picture.\n";
    WriteBytes("notes.png", Bytes(text.begin(), text.end()));
    WritePngDamage();
    WriteHugeGif();
    WriteThinGif();
    WriteXbms();
    WriteMngs();
    WriteJpeg2000s();
    WritePicts();
    WriteOverclaims();

    Save(PalettePicture(13, 7, 1), FIF_PNG, "bilevel_1bit.png");
    Save(PalettePicture(13, 7, 4), FIF_BMP, "palette_4bit.bmp");
    Save(PalettePicture(13, 7, 8), FIF_GIF, "palette_8bit.gif");
    Save(GreyPicture(13, 7), FIF_PNG, "grey_8bit.png");
    Save(DeepPicture(FIT_UINT16, 13, 7, 1), FIF_TIFF, "grey_16bit.tif");
    Save(DeepPicture(FIT_UINT16, 13, 7, 1), FIF_PNG, "grey_16bit.png");
    Save(Rgb565Picture(13, 7), FIF_BMP, "rgb565_16bit.bmp");
    Save(DeepPicture(FIT_RGB16, 13, 7, 3), FIF_TIFF, "rgb_48bit.tif");
    Save(DeepPicture(FIT_RGBA16, 13, 7, 4), FIF_TIFF, "rgba_64bit.tif");
    Save(FloatPicture(FIT_FLOAT, 13, 7, 1), FIF_TIFF, "grey_float.tif");
    Save(FloatPicture(FIT_RGBF, 13, 7, 3), FIF_TIFF, "rgb_float.tif");
    Save(CmykPicture(13, 7), FIF_TIFF, "cmyk.tif", TIFF_CMYK);
    WriteSignedTiff();
    WriteTwoPageTiff();
    Save(ColourPicture(13, 7, 32), FIF_PNG, "rgba.png");
    Save(ColourPicture(1, 1, 24), FIF_PNG, "one_pixel.png");
    Save(ColourPicture(23, 1, 24), FIF_PNG, "one_row.png");
    Save(ColourPicture(1, 23, 24), FIF_PNG, "one_column.png");
    return 0;
}
